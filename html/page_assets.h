#pragma once
// What every page of VORSKAL shares (the game's page, the league's
// listings): the head with the Content-Security-Policy that forbids every
// request, one style sheet (screen and A4 print), and at the end the one
// small script that makes the tables with class "sortable" sortable by a
// click on a column heading. A page reads completely without the script.
#include <string>
#include <string_view>

namespace vorskal::html {

// From "<!DOCTYPE html>" to "<body>\n": `generator` is the program and its
// version; `head` is more markup for the head (after the generator).
void appendPageStart(std::string& out, std::string_view title, std::string_view generator,
                     std::string_view head = {});
// The footer with `footer` as its text, the script, and the end of the page.
void appendPageEnd(std::string& out, std::string_view footer);

}  // namespace vorskal::html
