// The program's picture lists, drawn at run time so the program ships no image
// files. Each list is indexed by the numbers the rest of the program uses
// (a result's check state, an engine row's state, a status-bar panel state);
// a number outside a list gives an empty icon.
#pragma once

#include <QIcon>

namespace trawler::ui::pictures {

// Result rows: 0 checked and good, 1 not checked, 2 checked and bad.
QIcon RowPicture(int index);
inline constexpr int kRowPictureCount = 3;

// Engine rows: 0 queued, 1 working, 2 suspended, 3 done, 4 error.
QIcon EnginePicture(int index);
inline constexpr int kEnginePictureCount = 5;

// Status bar: 0 search busy, 2 search idle, 3 online, 4 offline,
// 5 link checker busy, 6 link checker idle (1 is unused and empty).
QIcon StatusPicture(int index);
inline constexpr int kStatusPictureCount = 7;

// Toolbar and menu pictures by number: 13 link, 23 old results, 24 new
// results, 27 deleted view with nothing deleted, 28 deleted view with
// deleted results, 34 recent file. Any other number gives a neutral badge
// showing the number, so a command is never without a picture.
QIcon ToolPicture(int index);

}  // namespace trawler::ui::pictures
