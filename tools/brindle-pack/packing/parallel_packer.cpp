#include "packing/parallel_packer.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <limits>
#include <mutex>
#include <thread>

#include "host/host_system.h"
#include "host/host_tree.h"
#include "package/block_checksum.h"
#include "package/lzma_pack.h"
#include "package/pack.h"
#include "package/package_writer.h"
#include "toolkit/files.h"

namespace brindle::tool {

namespace {
constexpr std::size_t kCopyPiece = std::size_t(1) << 20;

// A file's stored form: its packed block when that is worth keeping,
// otherwise its content.
struct Block {
    std::vector<std::uint8_t> stored;
    std::size_t length = 0;  // of the content
    std::string error;
    bool ready = false;
};

// A file being packed segment by segment (LZMA: part by part), on
// whichever threads are free.
struct SegmentedFile {
    std::vector<std::uint8_t> content;  // LZMA: as the filter left it
    BlockMethod method = BlockMethod::Lz;
    std::vector<PackedSegment> segments;
    LzmaBlockHeader lzma;
    std::vector<std::vector<std::uint8_t>> parts;
    std::size_t left = 0;  // segments or parts not packed yet
    std::size_t pieceLength() const { return method == BlockMethod::Lzma ? lzma.partLength : kSegmentLength; }
};

// Workers take the entries in order, at most `window` ahead of the writer,
// and the segments of a large file before any further entry: so every
// thread holds one encoder's tables at most.
class BlockQueue {
public:
    BlockQueue(const std::vector<PackInput>& inputs, std::size_t window, Progress& progress)
        : inputs_(inputs), blocks_(inputs.size()), files_(inputs.size()), window_(window), progress_(progress) {}

    void work() {
        for (;;) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] {
                return stopped_ || !segmentJobs_.empty() || (next_ < inputs_.size() && next_ < written_ + window_) ||
                       (next_ >= inputs_.size() && starting_ == 0);
            });
            if (stopped_) return;
            if (!segmentJobs_.empty()) {
                const auto [index, segment] = segmentJobs_.front();
                segmentJobs_.pop_front();
                lock.unlock();
                packPart(index, segment);
                continue;
            }
            if (next_ >= inputs_.size()) return;
            const std::size_t index = next_++;
            ++starting_;
            lock.unlock();
            start(index);
        }
    }

    // The block of entry `index`, once made; the progress bar is drawn meanwhile.
    Block take(std::size_t index) {
        std::unique_lock lock(mutex_);
        while (!changed_.wait_for(lock, std::chrono::milliseconds(100), [&] { return blocks_[index].ready; })) {
            lock.unlock();
            progress_.draw();
            lock.lock();
        }
        Block block = std::move(blocks_[index]);
        blocks_[index] = Block{};
        written_ = index + 1;
        changed_.notify_all();
        return block;
    }

    void stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

private:
    // Reads entry `index` and packs its first segment, leaving the others
    // to any thread.
    void start(std::size_t index) {
        const PackInput& input = inputs_[index];
        Block block;
        std::vector<std::uint8_t> content;
        if (!input.isFolder && !input.raw) {
            if (input.hostPath.empty())
                content = input.bytes;
            else if (const FileResult read = readWholeFile(input.hostPath, content); !read)
                block.error = withCause(utf8Path(input.hostPath) + ": cannot be read", read);
            if (content.size() > std::size_t(std::numeric_limits<std::uint32_t>::max()))
                block.error = utf8Path(input.hostPath) + ": too large (a package holds less than 4 GiB)";
            block.length = content.size();
        }
        if (!block.error.empty() || !input.packed || content.empty()) {
            block.stored = std::move(content);
            std::lock_guard lock(mutex_);
            --starting_;
            finish(index, std::move(block));
            return;
        }
        auto file = std::make_unique<SegmentedFile>();
        file->content = std::move(content);
        file->method = input.method;
        if (file->method == BlockMethod::Lzma) file->lzma = lzmaPlanFor(file->content.data(), file->content.size());
        file->left = segmentCount(file->content.size(), file->pieceLength());
        if (file->method == BlockMethod::Lzma) {
            file->lzma.checksum = blockChecksum(file->content.data(), file->content.size());
            applyLzmaFilter(file->lzma.filter, file->content.data(), file->content.size(), 0, true);
            file->parts.resize(file->left);
        } else {
            file->segments.resize(file->left);
        }
        {
            std::lock_guard lock(mutex_);
            files_[index] = std::move(file);
            for (std::size_t segment = 1; segment < files_[index]->left; ++segment)
                segmentJobs_.emplace_back(index, segment);
            --starting_;
            changed_.notify_all();
        }
        packPart(index, 0);
    }

    void packPart(std::size_t index, std::size_t segment) {
        SegmentedFile& file = *files_[index];  // stays while a segment is left
        std::vector<std::uint8_t>& content = file.content;
        const bool lzma = file.method == BlockMethod::Lzma;
        PackedSegment packed;
        std::vector<std::uint8_t> part;
        if (lzma)
            part = packLzmaPart(file.lzma, content.data(), content.size(), segment);
        else
            packed = packSegment(content.data(), content.size(), segment);
        progress_.advance(std::min(file.pieceLength(), content.size() - segment * file.pieceLength()));
        {
            std::lock_guard lock(mutex_);
            if (lzma)
                file.parts[segment] = std::move(part);
            else
                file.segments[segment] = std::move(packed);
            if (--file.left != 0) return;
        }
        Block block;
        block.length = content.size();
        if (!lzma) {
            block.stored = joinSegments(content.data(), content.size(), file.segments);
        } else if (std::find_if(file.parts.begin(), file.parts.end(), [](const auto& p) { return p.empty(); }) ==
                   file.parts.end()) {
            block.stored = joinLzmaParts(file.lzma, file.parts);
        } else {
            block.error = inputs_[index].name + ": the LZMA encoder failed (out of memory?)";
        }
        if (block.error.empty() && !packingPays(block.stored.size(), content.size())) {
            if (lzma) applyLzmaFilter(file.lzma.filter, content.data(), content.size(), 0, false);
            block.stored = std::move(content);
        }
        std::lock_guard lock(mutex_);
        files_[index].reset();
        finish(index, std::move(block));
    }

    // With the lock held.
    void finish(std::size_t index, Block block) {
        blocks_[index] = std::move(block);
        blocks_[index].ready = true;
        changed_.notify_all();
    }

    const std::vector<PackInput>& inputs_;
    std::vector<Block> blocks_;
    std::vector<std::unique_ptr<SegmentedFile>> files_;
    std::deque<std::pair<std::size_t, std::size_t>> segmentJobs_;  // entry, segment
    const std::size_t window_;
    Progress& progress_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::size_t written_ = 0;
    std::size_t starting_ = 0;  // entries taken whose segments are not queued yet
    bool stopped_ = false;
};

// Copies `size` bytes of `source` into `out`: the write's outcome; a source
// that cannot be read whole is told in `readError`.
FileResult copyFileInto(const std::filesystem::path& source, std::uint64_t size, OutputFile& out,
                        std::string& readError) {
    InputFile in;
    if (const FileResult opened = in.open(utf8Path(source)); !opened) {
        readError = withCause(utf8Path(source) + ": cannot be read", opened);
        return FileResult::refused();
    }
    std::vector<char> piece(kCopyPiece);
    for (std::uint64_t left = size; left > 0;) {
        const std::size_t wanted = std::size_t(std::min<std::uint64_t>(left, piece.size()));
        if (in.read(piece.data(), wanted) != wanted) {
            readError = utf8Path(source) + ": cannot be read whole (did it change meanwhile?)";
            return FileResult::refused();
        }
        if (const FileResult written = out.write(piece.data(), wanted); !written) return written;
        left -= wanted;
    }
    return {};
}

std::string cannotWrite(const StagedOutput& output, FileResult cause) {
    return withCause("cannot write " + utf8Path(output.target()), cause);
}

bool writeEntries(PackageWriter& writer, BlockQueue& queue, const std::vector<PackInput>& inputs,
                  const StagedOutput& output, std::string& error) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const PackInput& input = inputs[i];
        const Block block = queue.take(i);
        if (!block.error.empty()) {
            error = block.error;
            return false;
        }
        PackageWrite added;
        std::string readError;
        if (input.isFolder) {
            added = writer.addFolder(input.name, input.time, input.time);
        } else if (input.raw) {
            added = writer.addRawFile(input.name, input.size, input.time, input.time, [&](OutputFile& out) {
                return copyFileInto(input.hostPath, input.size, out, readError);
            });
        } else {
            added = writer.addStoredFile(input.name, block.length, block.stored.data(), block.stored.size(), input.time,
                                         input.time);
        }
        if (added) continue;
        if (!readError.empty())
            error = readError;
        else if (added.tooLarge)
            error = input.name + ": cannot be written (a package holds less than 4 GiB)";
        else
            error = cannotWrite(output, added.written);
        return false;
    }
    return true;
}
}  // namespace

bool writePackageFile(const StagedOutput& output, const std::vector<std::uint8_t>& stub,
                      const std::vector<PackInput>& inputs, unsigned threads, Progress& progress, std::string& error) {
    if (stub.size() > std::size_t(std::numeric_limits<std::uint32_t>::max())) {
        error = "the stub is too large";
        return false;
    }
    OutputFile out;
    FileResult started = out.create(utf8Path(output.partial()));
    if (started) started = out.write(stub.data(), stub.size());
    if (!started) {
        error = cannotWrite(output, started);
        return false;
    }
    PackageWriter writer(out, std::uint32_t(stub.size()));
    BlockQueue queue(inputs, 2 * std::size_t(threads), progress);
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i) workers.emplace_back([&] { queue.work(); });
    const bool written = writeEntries(writer, queue, inputs, output, error);
    queue.stop();
    for (std::thread& worker : workers) worker.join();
    if (!written) return false;
    const FileResult finished = writer.finish();
    if (!finished) error = cannotWrite(output, finished);
    return bool(finished);
}

}  // namespace brindle::tool
