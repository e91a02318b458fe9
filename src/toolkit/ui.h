// The installer's windows and controls, addressed by number. Windows and
// controls carry their number as the Win32 control id; panels pass their
// controls' notifications on to one event queue.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brindle::ui {

enum class ControlKind {
    Panel,       // plain child window holding other controls
    EdgePanel,   // the same with a thin sunken edge
    Frame,       // group box
    Text, CentredText, RightText,
    Picture,
    Editor,      // read-only rich text, both scroll bars
    Field,       // single-line edit
    Button, Option, CheckBox,
    List,        // list box, not sorted
    DropDown,    // drop-down list
    Tree,        // tree view with lines and buttons
    Link,        // one-line text that reports clicks, hand cursor, highlight on hover
    Separator,   // etched horizontal line
};

enum class Placement {
    ScreenCentre,
    OverActiveWindow,  // centred over this program's active window; at 201, 130 when none is active
    OverOwner,
};

// Positions and sizes of windows and controls are pixels of a 96-dpi
// display; the toolkit scales them, the fonts and the pictures to the
// display each window is on.
struct WindowSpec {
    int number;
    std::string caption;
    int width, height;  // inner size
    bool systemMenu = false;
    Placement placement = Placement::ScreenCentre;
    int owner = 0;  // window number, 0 for none
};

struct ControlSpec {
    int id;
    ControlKind kind;
    int window;      // the window it belongs to
    int parent = 0;  // the panel holding it, 0 for the window itself
    int x, y, width, height;
    std::string text;
    int font = 0;    // a number from createFont, 0 for the default GUI font
};

enum class EventKind { CloseRequest, Control };
enum class EventType { Other, LostFocus };
struct Event {
    EventKind kind;
    int window;
    int control;
    EventType type;
};

using Colour = std::uint32_t;  // 0x00BBGGRR
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0x000000;

bool start();
void stop();

// Windows open hidden; showWindow() shows them.
bool openWindow(const WindowSpec& layout);
void showWindow(int number);
void closeWindow(int number);
bool addControl(const ControlSpec& layout);
// Draws a panel's background in `colour`, and the texts on it likewise.
void setPanelColour(int panel, Colour colour);
// The colour table: a control drawn with these colours, opaque.
void registerColours(int control, Colour text, Colour background);
void setLinkHighlight(int link, Colour colour);

// Fonts by face, size in points and weight; numbers start at 1.
int createFont(const char* face, int points, bool bold);

void setText(int control, const std::string& text);
std::string text(int control);
void setChecked(int control, bool checked);
bool checked(int control);
void show(int control, bool visible);
void enable(int control, bool enabled);
// Returns the new item's index; -1 when the control is unknown.
int addItem(int control, const std::string& text);
void setItem(int control, int index, const std::string& text);
void selectItem(int control, int index);
int selectedItem(int control);
void focus(int control);

// Tree items are addressed by their place in the order they were added. An
// item of level n goes last under the last item of level n - 1 (under the
// end of the last branch when that is not as deep), so the order of adding
// is also the order shown, each parent before its children.
struct TreeItem {
    std::string text;
    int level;  // 0 at the top
};
bool addTreeItem(int tree, const std::string& text, int level);
std::vector<TreeItem> treeItems(int tree);
// An index outside the items selects none.
void selectTreeItem(int tree, int index);
int selectedTreeItem(int tree);  // -1 when none is selected

// Image slots: Targa and icon files, and the program's own icon. A picture
// shows the slot's image at the window's scale, smoothed, the image's pixels
// counted as pixels of a 96-dpi display.
bool loadImageFile(int slot, const std::string& path);
bool loadProgramIcon(int slot);
void showImage(int picture, int slot);

// Blocks until an event arrives; takeEvent() returns false when none waits.
Event waitEvent();
bool takeEvent(Event& event);

// The platform handle of a window or control, for the few places that call
// the platform directly (dialogs owned by a window, rich-text streaming).
void* handleOf(int window);
void* controlHandle(int control);

}  // namespace brindle::ui
