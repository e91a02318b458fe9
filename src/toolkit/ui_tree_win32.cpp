// Tree views fed item by item with a level each, over the Comctl32 tree view.
// The toolkit keeps no list of its own: the order shown is the order of
// adding (see ui.h), so an item's index is its place in a walk of the tree.
#include <windows.h>
#include <commctrl.h>

#include "toolkit/ui.h"

namespace brindle::ui {

namespace {
HTREEITEM related(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM firstChild(HWND tree, HTREEITEM parent) {
    return parent == TVI_ROOT ? related(tree, nullptr, TVGN_ROOT) : related(tree, parent, TVGN_CHILD);
}

HTREEITEM lastChild(HWND tree, HTREEITEM parent) {
    HTREEITEM last = firstChild(tree, parent);
    for (HTREEITEM next = last; next != nullptr; next = related(tree, next, TVGN_NEXT)) last = next;
    return last;
}

struct Placed {
    HTREEITEM handle;
    int level;
};

// Every item, each parent before its children.
std::vector<Placed> itemsInOrder(HWND tree) {
    std::vector<Placed> items;
    int level = 0;
    for (HTREEITEM item = firstChild(tree, TVI_ROOT); item != nullptr;) {
        items.push_back({item, level});
        if (HTREEITEM child = related(tree, item, TVGN_CHILD)) {
            item = child;
            ++level;
            continue;
        }
        // Back up to the nearest item with a next sibling.
        HTREEITEM sibling = nullptr;
        for (; item != nullptr && (sibling = related(tree, item, TVGN_NEXT)) == nullptr; --level)
            item = related(tree, item, TVGN_PARENT);
        item = sibling;
    }
    return items;
}

std::string textOf(HWND tree, HTREEITEM item) {
    char buffer[MAX_PATH] = {};  // the items are folder names
    TVITEMA request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = buffer;
    request.cchTextMax = sizeof buffer;
    const bool read = SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request));
    return read ? std::string(buffer) : std::string();
}

HWND treeOf(int tree) { return static_cast<HWND>(controlHandle(tree)); }
}  // namespace

bool addTreeItem(int tree, const std::string& text, int level) {
    HWND handle = treeOf(tree);
    if (handle == nullptr) return false;
    HTREEITEM parent = TVI_ROOT;
    for (int depth = 0; depth < level; ++depth) {
        HTREEITEM last = lastChild(handle, parent);
        if (last == nullptr) break;
        parent = last;
    }
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    return SendMessageA(handle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)) != 0;
}

std::vector<TreeItem> treeItems(int tree) {
    std::vector<TreeItem> items;
    HWND handle = treeOf(tree);
    if (handle == nullptr) return items;
    for (const Placed& placed : itemsInOrder(handle)) items.push_back({textOf(handle, placed.handle), placed.level});
    return items;
}

void selectTreeItem(int tree, int index) {
    HWND handle = treeOf(tree);
    if (handle == nullptr) return;
    const std::vector<Placed> items = itemsInOrder(handle);
    const bool inside = index >= 0 && index < int(items.size());
    HTREEITEM item = inside ? items[std::size_t(index)].handle : nullptr;
    SendMessageA(handle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

int selectedTreeItem(int tree) {
    HWND handle = treeOf(tree);
    if (handle == nullptr) return -1;
    HTREEITEM selected = related(handle, nullptr, TVGN_CARET);
    const std::vector<Placed> items = itemsInOrder(handle);
    for (std::size_t index = 0; index < items.size(); ++index)
        if (items[index].handle == selected) return int(index);
    return -1;
}

}  // namespace brindle::ui
