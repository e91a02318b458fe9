#include "remote_tree.h"

#include <commctrl.h>

#include <optional>
#include <vector>

#include "window_text.h"

namespace robot {

namespace {

constexpr size_t kTextCapacity = 1024;

struct TreeItem {
    HTREEITEM handle;
    int level;
    std::string text;
    std::string path;
};

// Walks the tree through a TVITEM and a text buffer placed in the tree's
// process: the system does not carry the pointers of common-control messages
// across processes, so their structures must live where the control reads them.
class TreeReader {
public:
    TreeReader(HWND tree, const Deadline& deadline) : tree_(tree), deadline_(deadline) {
        DWORD processId = 0;
        GetWindowThreadProcessId(tree, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_)
            buffer_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, sizeof(TVITEMA) + kTextCapacity,
                                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~TreeReader() {
        if (buffer_) VirtualFreeEx(process_, buffer_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    TreeReader(const TreeReader&) = delete;
    TreeReader& operator=(const TreeReader&) = delete;

    // All items in display order; nothing when the tree did not answer.
    std::optional<std::vector<TreeItem>> items() {
        std::vector<TreeItem> found;
        if (!buffer_ || !collect(TVI_ROOT, 0, "", found)) return std::nullopt;
        return found;
    }

    // The item in `relation` (TVGN_*) to `item`; null for none, nothing when
    // the tree did not answer.
    std::optional<HTREEITEM> next(HTREEITEM item, UINT relation) {
        auto answer = ask(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item), deadline_);
        if (!answer) return std::nullopt;
        return reinterpret_cast<HTREEITEM>(*answer);
    }

private:
    // Appends the children of `parent` (TVI_ROOT for the top) and their descendants.
    bool collect(HTREEITEM parent, int level, const std::string& parentPath, std::vector<TreeItem>& found) {
        auto child = parent == TVI_ROOT ? next(nullptr, TVGN_ROOT) : next(parent, TVGN_CHILD);
        while (child && *child) {
            auto text = textOf(*child);
            if (!text) return false;
            std::string path = level == 0 ? *text : parentPath + "\\" + *text;
            found.push_back({*child, level, *text, path});
            if (!collect(*child, level + 1, path, found)) return false;
            child = next(*child, TVGN_NEXT);
        }
        return child.has_value();
    }

    std::optional<std::string> textOf(HTREEITEM item) {
        TVITEMA request{};
        request.mask = TVIF_TEXT | TVIF_HANDLE;
        request.hItem = item;
        request.pszText = buffer_ + sizeof request;
        request.cchTextMax = kTextCapacity;
        const char empty = '\0';
        std::string text(kTextCapacity, '\0');
        if (!WriteProcessMemory(process_, buffer_, &request, sizeof request, nullptr) ||
            !WriteProcessMemory(process_, request.pszText, &empty, 1, nullptr) ||
            !ask(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buffer_), deadline_) ||
            !ReadProcessMemory(process_, request.pszText, text.data(), text.size(), nullptr))
            return std::nullopt;
        text.resize(text.find('\0'));
        return text;
    }

    HWND tree_;
    const Deadline& deadline_;
    HANDLE process_ = nullptr;
    char* buffer_ = nullptr;  // as the tree's process sees it
};

// Runs `action` on the tree's items, once they could be read.
template <typename Action>
Outcome onItems(HWND tree, const Deadline& deadline, Action action) {
    if (!hasClass(tree, WC_TREEVIEWA)) return failed(named(tree) + " is not a tree view");
    TreeReader reader(tree, deadline);
    auto items = reader.items();
    if (!items) return failed(named(tree) + " could not be read");
    return action(reader, *items);
}

}  // namespace

Outcome readTree(HWND tree, const Deadline& deadline) {
    return onItems(tree, deadline, [&](TreeReader& reader, const std::vector<TreeItem>& items) {
        auto selected = reader.next(nullptr, TVGN_CARET);
        if (!selected) return failed(named(tree) + " could not be read");
        std::string output, selectedPath;
        for (const TreeItem& item : items) {
            output += std::to_string(item.level) + "\t" + item.text + "\n";
            if (item.handle == *selected) selectedPath = item.path;
        }
        return succeeded(output + "selected=" + selectedPath + "\n");
    });
}

Outcome selectTreeItem(HWND tree, const std::string& path, const Deadline& deadline) {
    return onItems(tree, deadline, [&](TreeReader& reader, const std::vector<TreeItem>& items) {
        for (const TreeItem& item : items) {
            if (item.path != path) continue;
            // TVM_SELECTITEM carries a handle, not a pointer, so it can be delivered
            // without waiting for the owner's reaction to the change.
            if (!deliver(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item.handle), deadline))
                return failed("the tree view did not take up the selection in time");
            auto selected = reader.next(nullptr, TVGN_CARET);
            if (!selected || *selected != item.handle) return failed("the tree view refused to select " + path);
            return succeeded();
        }
        return failed("the tree view has no item " + path);
    });
}

}  // namespace robot
