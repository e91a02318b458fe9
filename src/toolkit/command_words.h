// The words of a Windows command line: blanks and tabs separate them,
// double quotes group them and are dropped (a "\" before a quote is an
// ordinary character: folders end in one).
#pragma once

#include <cstddef>
#include <string>

namespace brindle {

// Skips the blanks at `at`; true when a word starts there.
bool atWord(const std::string& line, std::size_t& at);

// The word that starts at `at` (after atWord); `at` moves past it.
std::string takeWord(const std::string& line, std::size_t& at);

// What a program was given: its command line after the first word (its
// own name, quoted where it holds blanks) and the blanks that follow it.
std::string argumentsOf(const std::string& line);

}  // namespace brindle
