// Showing the windows in the current language: one walk over the object tree.
//
// Every widget, action or menu whose dynamic property `tag` is an integer of
// 100 or more takes interface entry `tag` of the language list: a non-empty
// caption becomes its text (button, label, action and menu text, group box
// and tool bar title, a tab page's tab text, a window's title), a non-empty
// hint its tool tip and status tip, and non-empty items overwrite the texts of
// its existing items in order (combo boxes and list widgets), never adding or
// removing one.
//
// Column headers have no objects of their own, so an item view lists its
// columns' text numbers in the dynamic property `columnTags` (a list of
// integers, one per column); each column whose number is 100 or more gets the
// entry's caption as its horizontal header text through the view's model.
#pragma once

class QObject;

namespace trawler::lang { class tALanglist; }

namespace trawler::ui {

// Sets the language's font name (when it names one) on every widget, applies
// the entries to root and everything it owns, then its columns.
void ApplyToComponent(QObject* root, const lang::tALanglist& lang);

// ApplyToComponent for every top-level window of the application.
void ApplyToApplication(const lang::tALanglist& lang);

// Applies interface entry n to one object, as described above.
void ApplyEntry(QObject* object, int n, const lang::tALanglist& lang);

}  // namespace trawler::ui
