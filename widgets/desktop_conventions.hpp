// What users of a desktop expect of any window, whatever fonts and style the machine has:
// captions that fit their controls, list rows tall enough for their text, a selection that stays
// visible, Enter pressing the focused button.
#pragma once

class QAbstractItemView;
class QWidget;

namespace scene {

// The width a captioned control (label, check box, push button) needs to show its whole caption
// in its own font; 0 for other widgets and for empty captions.
int CaptionWidth(const QWidget& control);

// Narrows the font of each captioned control inside the window whose caption does not fit its
// width (in quarter points, 8 points at the least, to stay readable); the others keep the
// window's fonts. A label or check box still too narrow then widens into the free space beside
// it (to its right; both sides when centred), up to the next control on its line or the edge of
// its frame.
void FitCaptions(QWidget& window);

// Rows at least one line of the view's font high, with a pixel of room above and below, so
// that descenders and underscores stay inside a highlighted row; the selected row stays as
// plainly marked when the focus is elsewhere (some styles draw it in a grey barely darker than
// the list).
void UseReadableRows(QAbstractItemView& view);

// Enter and Return press a push button of the window that has the focus.
void PressFocusedButtonWithEnter(QWidget& window);

}  // namespace scene
