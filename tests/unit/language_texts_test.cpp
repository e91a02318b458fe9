#include <gtest/gtest.h>

#include <tuple>

#include "config/language_choice.h"
#include "config/language_texts.h"
#include "config/preference_file.h"
#include "temp_folder.h"

namespace brindle {
namespace {

TEST(LanguageTexts, DefaultsCarryTitleAndVersion) {
    const LanguageTexts texts("Editor", "");
    EXPECT_EQ(texts.get(Text::InstallWindow), "Install 'Editor'");
    // An empty version leaves two spaces between "version" and "on".
    EXPECT_EQ(texts.get(Text::Page01Msg1), "Brindle will now install 'Editor' version  on your computer.");
    EXPECT_EQ(texts.get(Text::Page01Titel), "Welcome to the installation of\n'Editor'");
    EXPECT_EQ(texts.get(Text::Page05Titel1), "Installation of\n'Editor'");
    EXPECT_EQ(texts.get(Text::RequesterRQ4Msg), "Close Program 'Editor' first!");
    EXPECT_EQ(LanguageTexts("Editor", "2.0").get(Text::Page01Msg1),
              "Brindle will now install 'Editor' version 2.0 on your computer.");
}

TEST(LanguageTexts, FileTextsReplaceDefaultsAsWritten) {
    test::TempFolder folder;
    const auto file = test::bytesOf("[Buttons]\nNext=Weiter\nBack=\n[Page05]\nTitel1=Installation|von $Titel\n"
                                    "[Page03]\nTitel=Ein|Zwei\n[Requester]\nRQ4_Msg=Erst '$Titel' schliessen\n"
                                    "[Install]\nWindow=  Fenster  \nFailed=Fehler\n");
    test::writeBytes(folder.path() / "german.lng", file);
    PreferenceFile ini;
    LanguageTexts texts("Tool", "1.0");
    texts.load(ini, (folder.path() / "german.lng").string());
    EXPECT_EQ(texts.get(Text::ButtonsNext), "Weiter");
    EXPECT_EQ(texts.get(Text::ButtonsBack), "");               // present and empty
    EXPECT_EQ(texts.get(Text::ButtonsCancel), "Cancel");       // absent: the default
    EXPECT_EQ(texts.get(Text::Page05Titel1), "Installation\nvon $Titel");  // "|" breaks, no insertion
    EXPECT_EQ(texts.get(Text::Page03Titel), "Ein|Zwei");       // only the two page titles break
    EXPECT_EQ(texts.get(Text::RequesterRQ4Msg), "Erst '$Titel' schliessen");
    EXPECT_EQ(texts.get(Text::InstallWindow), "Fenster");
    EXPECT_EQ(texts.get(Text::InstallFailed), "Fehler");
    EXPECT_EQ(texts.get(Text::Page01Titel), "Welcome to the installation of\n'Tool'");
    EXPECT_EQ(test::readBytes(folder.path() / "german.lng"), file) << "nothing is written back";
}

TEST(LanguageTexts, FolderOrMissingFileKeepsDefaults) {
    test::TempFolder folder;
    PreferenceFile ini;
    LanguageTexts texts("Tool", "");
    texts.load(ini, folder.corePath());
    EXPECT_EQ(texts.get(Text::ButtonsNext), "Next");
    texts.load(ini, folder.corePath() + "missing.lng");
    EXPECT_EQ(texts.get(Text::Page02AcceptNo), "I do not accept the agreement");
}

// Two entries without a final "|" count as one; of several, the last that
// matches the user's primary language (nine bits, not ten: 0x209 is 9). With
// no match the chooser is asked with the setting.
TEST(LanguageChoice, OneEntryOrTheUsersPrimaryLanguageNamesTheFile) {
    const std::tuple<const char*, int, const char*> rows[] = {
        {"english.lng#9|", 12, "english.lng"}, {"english.lng", 12, "english.lng"}, {"", 9, ""},
        {"a.lng#7|b.lng#9", 9, "a.lng"}, {"german.lng#7|english.lng#9|", 0x0409, "english.lng"},
        {"german.lng#7|english.lng#9|", 0x0807, "german.lng"}, {"us.lng#9|uk.lng# 9|", 0x0809, "uk.lng"},
        {"german.lng#7|english.lng#9|", 0x0209, "english.lng"}, {"german.lng#7|english.lng#9|", 12, "chosen.lng"}};
    for (const auto& [setting, language, file] : rows) {
        SCOPED_TRACE(std::string(setting) + " " + std::to_string(language));
        std::string askedWith = "(not asked)";
        const auto ask = [&](const std::string& asked) {
            askedWith = asked;
            return std::string("chosen.lng");
        };
        EXPECT_EQ(chooseLanguageFile(setting, language, ask), file);
        EXPECT_EQ(askedWith, std::string(file) == "chosen.lng" ? setting : "(not asked)");
    }
}

// The chooser shows the name a language file gives itself, else its file
// name up to the first dot.
TEST(LanguageChoice, ChooserListsEveryEntryByItsOwnName) {
    test::TempFolder folder;
    test::writeText(folder.path() / "german.lng", "[Buttons]\nNext=Weiter\n[language]\nname =  Deutsch \n");
    test::writeText(folder.path() / "french.lng", "[Language]\nTranslator=Anne\n[Buttons]\nName=Fran\xe7" "ais\n");
    const auto ownName = [&](const std::string& file) { return languageName(folder.corePath() + file); };
    const auto choices = languageChoices("german.lng#7|french.lng#12|english.lng#9|", ownName);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].label, " Deutsch");
    EXPECT_EQ(choices[1].label, " french");  // a Name outside [Language] names nothing
    EXPECT_EQ(choices[2].label, " english");  // no such file
    EXPECT_EQ(choices[2].fileName, "english.lng");
    EXPECT_EQ(languageChoices("a.lng#1|b.lng#2", ownName).size(), 1u);
}

}  // namespace
}  // namespace brindle
