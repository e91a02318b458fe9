#include "remote_tree.h"

#include <commctrl.h>

#include <optional>
#include <vector>

#include "delivery.h"
#include "remote_memory.h"
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

// Walks the tree through a TVITEM and a text buffer placed in the tree's process.
class TreeReader {
public:
    TreeReader(HWND tree, const Deadline& deadline)
        : tree_(tree), deadline_(deadline), memory_(tree, sizeof(TVITEMA) + kTextCapacity) {}

    bool ready() const { return memory_.valid(); }

    // All items in display order; nothing when the tree did not answer.
    std::optional<std::vector<TreeItem>> items() {
        std::vector<TreeItem> found;
        if (!collect(TVI_ROOT, 0, "", found)) return std::nullopt;
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
        request.pszText = memory_.at(sizeof request);
        request.cchTextMax = kTextCapacity;
        const char empty = '\0';
        if (!memory_.write(0, &request, sizeof request) || !memory_.write(sizeof request, &empty, 1))
            return std::nullopt;
        if (!ask(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory_.at(0)), deadline_)) return std::nullopt;
        std::string text(kTextCapacity, '\0');
        if (!memory_.read(sizeof request, text.data(), text.size())) return std::nullopt;
        text.resize(text.find('\0'));
        return text;
    }

    HWND tree_;
    const Deadline& deadline_;
    RemoteMemory memory_;
};

Outcome unreadable(HWND tree) {
    return failed("the tree view " + std::to_string(GetDlgCtrlID(tree)) + " could not be read");
}

std::string pathOf(const std::vector<TreeItem>& items, HTREEITEM handle) {
    for (const TreeItem& item : items)
        if (item.handle == handle) return item.path;
    return "";
}

}  // namespace

Outcome readTree(HWND tree, const Deadline& deadline) {
    if (!hasClass(tree, WC_TREEVIEWA)) return failed("control " + std::to_string(GetDlgCtrlID(tree)) + " is not a tree view");
    TreeReader reader(tree, deadline);
    if (!reader.ready()) return unreadable(tree);
    auto items = reader.items();
    auto selected = reader.next(nullptr, TVGN_CARET);
    if (!items || !selected) return unreadable(tree);
    std::string output;
    for (const TreeItem& item : *items) output += std::to_string(item.level) + "\t" + item.text + "\n";
    return succeeded(output + "selected=" + pathOf(*items, *selected) + "\n");
}

Outcome selectTreeItem(HWND tree, const std::string& path, const Deadline& deadline) {
    if (!hasClass(tree, WC_TREEVIEWA)) return failed("control " + std::to_string(GetDlgCtrlID(tree)) + " is not a tree view");
    TreeReader reader(tree, deadline);
    if (!reader.ready()) return unreadable(tree);
    auto items = reader.items();
    if (!items) return unreadable(tree);
    for (const TreeItem& item : *items) {
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
}

}  // namespace robot
