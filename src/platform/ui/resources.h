#pragma once
// Where the dialogs find their bitmaps, icons, strings, menus and dialog
// templates by resource id. The skin (src/res) installs its provider once
// at start-up; tests install small ones of their own.
//
// Texts are GB2312 bytes, as everywhere inside the program.

#include <QIcon>
#include <QImage>
#include <string>
#include <vector>

#include "platform/ui/win_types.h"

enum class ControlKind {
    PushButton,
    Static,
    IconStatic,
    Edit,
    ListBox,
    GroupBox,
    CheckBox,
    RadioButton,
    DropDownList,  // a combo box the user can only choose from, items from the template
    ListView,      // rows and columns
    UpDown,        // a spin control of two arrows
    TimePicker,
    DatePicker,
    Custom,  // painted by its window object, which also gets its mouse events
};

// Style flags of a template control.
constexpr UINT CTL_GROUP = 0x01;     // starts a group: radios are exclusive up to the next start
constexpr UINT CTL_DISABLED = 0x02;  // made disabled
constexpr UINT CTL_HIDDEN = 0x04;    // made hidden
constexpr UINT CTL_NUMBER = 0x08;    // an edit the user can type only digits into
constexpr UINT CTL_CENTER = 0x10;    // centred text (edits and statics)
constexpr UINT CTL_PASSWORD = 0x20;  // an edit that shows its text as dots
constexpr UINT CTL_TABSTOPS = 0x40;  // a list box that expands tabs in its lines
constexpr UINT LBS_USETABSTOPS = CTL_TABSTOPS;

// One control of a dialog template; positions in client pixels.
struct ControlTemplate {
    ControlKind kind = ControlKind::Static;
    int id = 0;
    std::string text;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT resource = 0;                 // icon id of an IconStatic
    bool flat = false;                 // a push button drawn flat, as a link
    int fontPixels = 0;                // text height in pixels; 0 = the dialog's font
    UINT style = 0;                    // CTL_ flags
    std::vector<std::string> items{};  // a drop-down list's items
};

// A control of the given kind at its place.
inline ControlTemplate MakeControlTemplate(ControlKind kind, int id, const char* text, int x, int y,
                                           int cx, int cy, UINT style = 0) {
    ControlTemplate c;
    c.kind = kind;
    c.id = id;
    c.text = text;
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    c.style = style;
    return c;
}

struct DialogTemplate {
    std::string caption;
    int cx = 0;  // client size in pixels
    int cy = 0;
    bool child = false;      // a child window without caption (inside its parent)
    bool sysMenu = true;     // has a system menu and close box
    bool frameless = false;  // a top-level window without the desktop's frame
    bool border = true;      // a child with a thin border
    std::vector<ControlTemplate> controls;
};

// A menu item; an item with a popup opens it, a separator has no id.
struct MenuItem {
    UINT id = 0;
    std::string text;
    bool separator = false;
    std::vector<MenuItem> popup{};
};

class IResourceProvider {
public:
    virtual ~IResourceProvider() = default;
    // A null image when the id is unknown.
    virtual QImage LoadBitmap(UINT id) const = 0;
    // A null icon when the id is unknown.
    virtual QIcon LoadIcon(UINT id) const = 0;
    // Empty when the id is unknown.
    virtual std::string LoadString(UINT id) const = 0;
    // The top-level items (usually popups); empty when the id is unknown.
    virtual std::vector<MenuItem> LoadMenu(UINT id) const = 0;
    // Null when the id is unknown.
    virtual const DialogTemplate* FindTemplate(UINT id) const = 0;
};

// Installs the provider (not owned; it must outlive every dialog); null
// removes it, after which every look-up finds nothing.
void SetResourceProvider(const IResourceProvider* provider);
const IResourceProvider* GetResourceProvider();
