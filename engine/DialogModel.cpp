#include "engine/DialogModel.h"

#include <algorithm>
#include <utility>

namespace Quill {

namespace {

bool TakesFocus(DialogControlKind kind)
{
    return kind == DialogControlKind::PushButton || kind == DialogControlKind::CheckBox ||
           kind == DialogControlKind::Edit;
}

// The engine font draws printable ASCII only.
bool Printable(char c)
{
    return c >= ' ' && c <= '~';
}

}  // namespace

DialogModel::DialogModel(DialogTemplate layoutIn) : layout(std::move(layoutIn))
{
    for (DialogControl& control : layout.controls) {
        if (control.kind == DialogControlKind::Edit) {
            std::string text = control.text;
            control.text.clear();
            control.caret = control.anchor = control.scroll = 0;
            SetText(control.id, text);
        }
    }
}

size_t DialogModel::VisibleChars(const DialogControl& edit)
{
    return size_t(std::max(1, (edit.rect.width - 2 * kEditInset) / kCharAdvance));
}

DialogControl* DialogModel::Get(int id)
{
    for (DialogControl& control : layout.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

const DialogControl* DialogModel::Find(int id) const
{
    for (const DialogControl& control : layout.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

std::string DialogModel::Text(int id) const
{
    const DialogControl* control = Find(id);
    return control ? control->text : std::string();
}

void DialogModel::SetText(int id, const std::string& text)
{
    DialogControl* control = Get(id);
    if (!control) {
        return;
    }
    std::string kept;
    for (char c : text) {
        if (control->kind != DialogControlKind::Edit || Printable(c)) {
            kept += c;
        }
    }
    if (control->kind == DialogControlKind::Edit && control->limit > 0 && kept.size() > control->limit) {
        kept.resize(control->limit);
    }
    control->text = kept;
    control->caret = control->anchor = kept.size();
    control->scroll = 0;
    KeepCaretVisible(*control);
    Changed();
}

bool DialogModel::IsChecked(int id) const
{
    const DialogControl* control = Find(id);
    return control && control->checked;
}

void DialogModel::SetChecked(int id, bool checked)
{
    if (DialogControl* control = Get(id)) {
        control->checked = checked;
        Changed();
    }
}

bool DialogModel::IsEnabled(int id) const
{
    const DialogControl* control = Find(id);
    return control && control->enabled;
}

void DialogModel::Enable(int id, bool enabled)
{
    DialogControl* control = Get(id);
    if (!control) {
        return;
    }
    control->enabled = enabled;
    control->pressed = false;
    if (!enabled && FocusId() == id) {
        const int next = NextFocus(focus, false);
        FocusIndex(next == focus ? -1 : next);
    }
    Changed();
}

bool DialogModel::IsVisible(int id) const
{
    const DialogControl* control = Find(id);
    return control && control->visible;
}

void DialogModel::Show(int id, bool visible)
{
    DialogControl* control = Get(id);
    if (!control) {
        return;
    }
    control->visible = visible;
    if (!visible && FocusId() == id) {
        const int next = NextFocus(focus, false);
        FocusIndex(next == focus ? -1 : next);
    }
    Changed();
}

int DialogModel::FocusId() const
{
    return focus >= 0 ? layout.controls[size_t(focus)].id : 0;
}

bool DialogModel::SetFocus(int id)
{
    for (size_t i = 0; i < layout.controls.size(); ++i) {
        if (layout.controls[i].id == id && layout.controls[i].visible && layout.controls[i].enabled &&
            TakesFocus(layout.controls[i].kind)) {
            FocusIndex(int(i));
            Changed();
            return true;
        }
    }
    return false;
}

int DialogModel::ActiveDefaultId() const
{
    if (focus >= 0 && layout.controls[size_t(focus)].kind == DialogControlKind::PushButton) {
        return layout.controls[size_t(focus)].id;
    }
    return layout.defaultId;
}

bool DialogModel::Focusable(size_t index) const
{
    const DialogControl& control = layout.controls[index];
    return control.tabStop && control.visible && control.enabled && TakesFocus(control.kind);
}

int DialogModel::NextFocus(int from, bool backwards) const
{
    // The visiting order as indices into the controls.
    std::vector<int> order;
    if (layout.tabOrder.empty()) {
        for (int i = 0; i < int(layout.controls.size()); ++i) {
            order.push_back(i);
        }
    } else {
        for (int id : layout.tabOrder) {
            for (int i = 0; i < int(layout.controls.size()); ++i) {
                if (layout.controls[size_t(i)].id == id) {
                    order.push_back(i);
                }
            }
        }
    }
    const int count = int(order.size());
    if (count == 0) {
        return -1;
    }
    int position = backwards ? 0 : count - 1;
    for (int i = 0; i < count; ++i) {
        if (order[size_t(i)] == from) {
            position = i;
        }
    }
    for (int step = 1; step <= count; ++step) {
        const int index = order[size_t(((position + (backwards ? -step : step)) % count + count) % count)];
        if (Focusable(size_t(index))) {
            return index;
        }
    }
    return from;
}

void DialogModel::FocusIndex(int index)
{
    if (focus >= 0) {
        layout.controls[size_t(focus)].pressed = false;
    }
    focus = index;
    if (index >= 0) {
        DialogControl& control = layout.controls[size_t(index)];
        // Moving into an edit selects its text, so that typing replaces it.
        if (control.kind == DialogControlKind::Edit) {
            control.anchor = 0;
            control.caret = control.text.size();
            KeepCaretVisible(control);
        }
    }
}

void DialogModel::Click(DialogControl& control)
{
    if (!control.enabled) {
        return;
    }
    if (control.kind == DialogControlKind::CheckBox) {
        control.checked = !control.checked;
    }
    OnCommand(control.id);
}

void DialogModel::KeyDown(const DialogKeyPress& press)
{
    if (ended) {
        return;
    }
    Changed();
    switch (press.key) {
        case DialogKey::Tab:
            FocusIndex(NextFocus(focus, press.shift));
            return;
        case DialogKey::Enter: {
            DialogControl* button = Get(ActiveDefaultId());
            if (button && button->visible && button->enabled) {
                Click(*button);
            }
            return;
        }
        case DialogKey::Escape:
            OnCommand(layout.cancelId);
            return;
        default:
            break;
    }
    if (focus < 0) {
        return;
    }
    DialogControl& control = layout.controls[size_t(focus)];
    if (control.kind == DialogControlKind::Edit) {
        EditKey(control, press);
        return;
    }
    switch (press.key) {
        case DialogKey::Space:
            control.pressed = true;
            break;
        case DialogKey::Left:
        case DialogKey::Up:
            FocusIndex(NextFocus(focus, true));
            break;
        case DialogKey::Right:
        case DialogKey::Down:
            FocusIndex(NextFocus(focus, false));
            break;
        default:
            break;
    }
}

void DialogModel::KeyUp(DialogKey key)
{
    if (ended || key != DialogKey::Space || focus < 0) {
        return;
    }
    // Buttons act when Space is released, as they do for the mouse button.
    DialogControl& control = layout.controls[size_t(focus)];
    if (control.pressed) {
        control.pressed = false;
        Changed();
        Click(control);
    }
}

int DialogModel::ControlAt(int x, int y) const
{
    for (size_t i = 0; i < layout.controls.size(); ++i) {
        const DialogControl& control = layout.controls[i];
        if (control.visible && control.enabled && TakesFocus(control.kind) && control.rect.Contains(x, y)) {
            return int(i);
        }
    }
    return -1;
}

size_t DialogModel::CaretAt(const DialogControl& edit, int x) const
{
    const int offset = x - (edit.rect.x + kEditInset);
    if (offset <= 0) {
        return edit.scroll;
    }
    return std::min(edit.text.size(), edit.scroll + size_t((offset + kCharAdvance / 2) / kCharAdvance));
}

void DialogModel::MouseDown(int x, int y)
{
    if (ended) {
        return;
    }
    const int index = ControlAt(x, y);
    if (index < 0) {
        return;
    }
    Changed();
    if (focus >= 0 && focus != index) {
        layout.controls[size_t(focus)].pressed = false;
    }
    focus = index;
    capture = index;
    DialogControl& control = layout.controls[size_t(index)];
    if (control.kind == DialogControlKind::Edit) {
        control.caret = control.anchor = CaretAt(control, x);
        KeepCaretVisible(control);
    } else {
        control.pressed = true;
    }
}

void DialogModel::MouseMove(int x, int y)
{
    if (ended || capture < 0) {
        return;
    }
    DialogControl& control = layout.controls[size_t(capture)];
    if (control.kind == DialogControlKind::Edit) {
        // Dragging selects from where the button went down.
        const size_t caret = CaretAt(control, x);
        if (caret != control.caret) {
            control.caret = caret;
            KeepCaretVisible(control);
            Changed();
        }
    } else if (control.pressed != control.rect.Contains(x, y)) {
        control.pressed = !control.pressed;
        Changed();
    }
}

void DialogModel::MouseUp(int x, int y)
{
    if (ended || capture < 0) {
        return;
    }
    DialogControl& control = layout.controls[size_t(capture)];
    capture = -1;
    if (control.kind == DialogControlKind::Edit) {
        return;
    }
    const bool click = control.pressed && control.rect.Contains(x, y);
    control.pressed = false;
    Changed();
    if (click) {
        Click(control);
    }
}

void DialogModel::DeleteSelection(DialogControl& edit)
{
    const size_t from = std::min(edit.caret, edit.anchor);
    const size_t to = std::max(edit.caret, edit.anchor);
    edit.text.erase(from, to - from);
    edit.caret = edit.anchor = from;
}

void DialogModel::EditKey(DialogControl& edit, const DialogKeyPress& press)
{
    const size_t selFrom = std::min(edit.caret, edit.anchor);
    const size_t selTo = std::max(edit.caret, edit.anchor);
    const bool selection = selFrom != selTo;
    switch (press.key) {
        case DialogKey::Left:
        case DialogKey::Up:
            if (selection && !press.shift) {
                edit.caret = selFrom;
            } else if (edit.caret > 0) {
                --edit.caret;
            }
            break;
        case DialogKey::Right:
        case DialogKey::Down:
            if (selection && !press.shift) {
                edit.caret = selTo;
            } else if (edit.caret < edit.text.size()) {
                ++edit.caret;
            }
            break;
        case DialogKey::Home:
            edit.caret = 0;
            break;
        case DialogKey::End:
            edit.caret = edit.text.size();
            break;
        case DialogKey::SelectAll:
            edit.anchor = 0;
            edit.caret = edit.text.size();
            KeepCaretVisible(edit);
            return;
        case DialogKey::Backspace:
            if (!selection && edit.caret > 0) {
                edit.anchor = edit.caret - 1;
            }
            DeleteSelection(edit);
            break;
        case DialogKey::Delete:
            if (!selection && edit.caret < edit.text.size()) {
                edit.anchor = edit.caret + 1;
            }
            DeleteSelection(edit);
            break;
        default:
            // A full box refuses the character rather than dropping another.
            if (!Printable(press.text) ||
                (edit.limit > 0 && edit.text.size() - (selTo - selFrom) >= edit.limit)) {
                return;
            }
            DeleteSelection(edit);
            edit.text.insert(edit.caret, 1, press.text);
            edit.anchor = ++edit.caret;
            KeepCaretVisible(edit);
            return;
    }
    if (!press.shift) {
        edit.anchor = edit.caret;
    }
    KeepCaretVisible(edit);
}

void DialogModel::KeepCaretVisible(DialogControl& edit)
{
    const size_t visible = VisibleChars(edit);
    if (edit.caret < edit.scroll) {
        edit.scroll = edit.caret;
    } else if (edit.caret > edit.scroll + visible) {
        edit.scroll = edit.caret - visible;
    }
    // No empty room on the right while earlier text is scrolled away.
    if (edit.scroll + visible > edit.text.size()) {
        edit.scroll = edit.text.size() > visible ? edit.text.size() - visible : 0;
    }
}

}  // namespace Quill
