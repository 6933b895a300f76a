#pragma once

// What the result view needs from the window that holds it. The main window
// implements this; the window tests can implement it with a small fake.

#include <string>

class QString;

namespace trawler::core { class TEngineList; }
namespace trawler::settings { class tDefaultsList; }
namespace trawler::lang { class tALanglist; }
namespace trawler::results { class tListSearchBot; }

namespace trawler::ui {

class ResultViewHost {
public:
    virtual ~ResultViewHost() = default;

    virtual core::TEngineList& Engines() = 0;          // owns the result list
    virtual settings::tDefaultsList& Settings() = 0;
    virtual lang::tALanglist& Lang() = 0;              // message and interface texts

    // Opens an address with a browser ("" = the default browser setting).
    virtual void OpenUrl(const std::string& browser, const std::string& url) = 0;

    // Status bar: panel 0 (hints and operation texts), panel 4 (row count),
    // panel 5 (progress of a long operation), and a repaint of the state panels.
    virtual void ShowStatusText(const QString& text) = 0;
    virtual void ShowRowCount(int rows) = 0;
    virtual void ShowProgress(int position, int maximum) = 0;
    virtual void RepaintStatusBar() = 0;

    // Whether "Search in retrieved" is switched on (it picks the words to highlight).
    virtual bool SearchInRetrievedOn() const = 0;
    // The online watcher's view: online and with an address other than 0.0.0.0.
    virtual bool IsOnline() const = 0;
    // The link checker of the window (none while the program starts or ends).
    virtual results::tListSearchBot* LinkChecker() = 0;
    // Runs when the item commands' enabled state may have changed, so the
    // window can update the commands it owns (Search in retrieved, Save As).
    virtual void ItemActionsUpdated() = 0;

    // Asks a question with Yes and No (a warning, or else a confirmation);
    // true for Yes. By default a message box over the active window.
    virtual bool AskYesNo(const QString& text, bool warning);
};

}  // namespace trawler::ui
