// Localisation of a window: every property that holds a string id as its text is replaced by the
// text of the current language, by the rules of the control's kind. A property whose text is not a
// number, or whose id has no text, is left as it is; nothing here can fail half-way.
#pragma once

class QWidget;

namespace vireo {

class StringTable;

// The property that holds a string id for the controls that have no caption of their own (text boxes,
// option buttons, lists): a numeric "tag" whose text becomes the caption where the control has one.
inline constexpr char kTagProperty[] = "tag";

// Localises the window's caption, then each control by its kind:
// - labels: text;
// - menus and their actions: text; tool bars: each button's tool tip;
// - tab widgets: each tab's text, then its tool tip;
// - list and table headers: each column's text;
// - the status bar: each panel's tool tip;
// - push buttons, group boxes, check boxes: tool tip, then text (title);
// - anything else: text (where it has one) from the "tag" property when above 0, tool tip from its
//   own numeric value when at least 1.
void localise_window(QWidget* window, const StringTable& table, int offset);

// Qt's own dialogs ("Look in", "Cancel") speak the interface language: Italian loads Qt's Italian
// translations where the system has them; without them Qt stays in English.
void use_qt_translations(int language_offset);

}  // namespace vireo
