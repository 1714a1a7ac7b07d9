#pragma once
// The page's inline style sheet (screen and A4 print) and its one small
// script, which makes the tables with class "sortable" sortable by a click
// on a column heading. The page reads completely without the script.
namespace vorskal::html {

extern const char* const kPageStyle;
extern const char* const kSortScript;

}  // namespace vorskal::html
