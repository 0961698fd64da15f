#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Quill {

// A rectangle in dialog units, the grid a dialog's layout is drawn on.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

enum class DialogControlKind {
    PushButton,  // runs its command when clicked
    CheckBox,    // flips its check mark, then runs its command
    GroupBox,    // a captioned frame around other controls
    Label,       // static text
    Edit,        // one line of text
    Picture,     // a bitmap from the data directory
};

struct DialogControl {
    int id = -1;
    DialogControlKind kind = DialogControlKind::Label;
    std::string text;  // caption, label, contents of an edit, or a picture's file
    DialogRect rect;
    bool tabStop = false;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    size_t limit = 0;  // edit: the most characters it takes; 0 for no limit

    // Edit state: caret and the other end of the selection (equal when
    // nothing is selected), and the first character shown.
    size_t caret = 0;
    size_t anchor = 0;
    size_t scroll = 0;
    // A button or check box held down by Space or the mouse.
    bool pressed = false;
};

struct DialogTemplate {
    std::string caption;
    int width = 0;
    int height = 0;
    int defaultId = 1;  // the button Enter clicks unless another button has the focus
    int cancelId = 2;   // the command Escape sends
    std::string iconFile;
    // In tab order unless `tabOrder` gives one; pictures and labels are
    // never focused.
    std::vector<DialogControl> controls;
    // Control ids in the order Tab visits them; empty follows `controls`.
    std::vector<int> tabOrder;
};

// The keys a dialog reacts to; the window maps the keyboard onto them.
enum class DialogKey {
    Other,
    Tab,
    Enter,
    Escape,
    Space,
    Backspace,
    Delete,
    Home,
    End,
    Left,
    Right,
    Up,
    Down,
    SelectAll
};

struct DialogKeyPress {
    DialogKey key = DialogKey::Other;
    char text = 0;  // the character the key types, 0 for none
    bool shift = false;
};

// The platform-free part of a dialog: its controls, the keyboard focus and
// what keys and clicks do, as a desktop dialog behaves. A derived dialog
// answers the commands of its controls and the close request. Coordinates
// are dialog units; text is measured in the engine font's fixed advance.
class DialogModel {
public:
    explicit DialogModel(DialogTemplate layout);
    virtual ~DialogModel() = default;

    // Input.
    void KeyDown(const DialogKeyPress& press);
    void KeyUp(DialogKey key);
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(int x, int y);
    // The window's close button.
    void Close() { OnClose(); }
    // What a click on the control does, also for controls that are disabled.
    void Command(int id) { OnCommand(id); }

    // Controls.
    const DialogTemplate& Layout() const { return layout; }
    const std::vector<DialogControl>& Controls() const { return layout.controls; }
    const DialogControl* Find(int id) const;
    std::string Text(int id) const;
    // Cut to the control's limit; the caret goes to the end.
    void SetText(int id, const std::string& text);
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    bool IsEnabled(int id) const;
    // A control that loses the focus this way passes it to the next one.
    void Enable(int id, bool enabled);
    bool IsVisible(int id) const;
    void Show(int id, bool visible);

    // Focus: the id of the focused control, or 0 when none has it.
    int FocusId() const;
    // Gives the focus to a control; an edit gets all its text selected.
    bool SetFocus(int id);
    // The button that Enter would click now.
    int ActiveDefaultId() const;

    // The dialog has been answered and its window may go.
    bool Ended() const { return ended; }
    // Counts every change a window would have to draw.
    unsigned Revision() const { return revision; }

    // Text metrics in dialog units: the advance of one character and the
    // space between an edit's frame and its text.
    static constexpr int kCharAdvance = 6;
    static constexpr int kEditInset = 2;
    // How many characters an edit shows at once.
    static size_t VisibleChars(const DialogControl& edit);

protected:
    virtual void OnCommand(int id) { (void)id; }
    virtual void OnClose() {}
    void EndDialog() { ended = true; }

private:
    DialogControl* Get(int id);
    bool Focusable(size_t index) const;
    // The next (or previous) focusable control after `from`, wrapping round.
    int NextFocus(int from, bool backwards) const;
    void FocusIndex(int index);
    void Click(DialogControl& control);
    // Index of the enabled, visible control under the point that takes
    // clicks; -1 for none.
    int ControlAt(int x, int y) const;
    size_t CaretAt(const DialogControl& edit, int x) const;
    void EditKey(DialogControl& edit, const DialogKeyPress& press);
    static void DeleteSelection(DialogControl& edit);
    static void KeepCaretVisible(DialogControl& edit);
    void Changed() { ++revision; }

    DialogTemplate layout;
    int focus = -1;    // index into the controls
    int capture = -1;  // the control the mouse went down on
    bool ended = false;
    unsigned revision = 0;
};

}  // namespace Quill
