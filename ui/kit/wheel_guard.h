#pragma once

class QWidget;

namespace vorlane {

// In a page that scrolls, a slider, spin box or drop-down list under the pointer took the
// wheel meant for the page and changed (and saved) its setting. Each such control inside
// `page` now takes the wheel only once it has the keyboard focus, from a click or Tab; until
// then the wheel passes on and scrolls the page. Controls added to the page later are not
// covered: call again.
void wheelScrollsThePage(QWidget& page);

}  // namespace vorlane
