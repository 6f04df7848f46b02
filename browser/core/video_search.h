#pragma once
// frmSearch's logic: the video search. The dialog asks the data server for the videos matching a
// free-text term; the answer replaces the main station list under the category "Video Search".
// The dialog's widgets implement SearchForm; the headless search and tests implement it with
// plain records. User-interface thread only.
//
// Failures are not reported apart from the dialog's own messages: a request that fails (server
// unreachable, an error page, a time-out) brings an empty document, so nothing is listed and the
// "0 results found" message is shown.

#include <string>
#include <string_view>

namespace kinvo {

class Catalogue;
class CatalogueView;
class CategoryBox;
class DocFetcher;
class Prompts;
class SettingsStore;
struct ProgramState;
struct StationLists;

// "http://" + dataServer + "/kinvo39.asp?P=T&SEARCH=1&T1=" + term with every blank replaced by
// "+" (nothing else escaped) + the ending of the connection class + version.
std::string searchRequest(std::string_view dataServer, std::string_view term,
                          std::string_view speed);

// What the search changes on the dialog itself.
class SearchForm {
  public:
    virtual ~SearchForm() = default;
    virtual void setTermEnabled(bool enabled) = 0;  // Text1
    virtual void setTerm(std::string_view text) = 0;
    virtual void focusTerm() = 0;
    virtual void setOkEnabled(bool enabled) = 0;  // cmdOK
    virtual void setOkCaption(std::string_view caption) = 0;
    virtual void setBusy(bool busy) = 0;  // the hourglass pointer
    // progbar1: its range and the value it shows (always within the range).
    virtual void showProgress(int value, int maximum) = 0;
    virtual void setTimerRunning(bool running) = 0;  // Timer1, one tick a second
    // Closes the dialog (after a search with results).
    virtual void closeForm() = 0;
};

class VideoSearch {
  public:
    struct Parts {
        ProgramState& state;
        DocFetcher& fetcher;
        SettingsStore& settings;
        StationLists& lists;
        CategoryBox& comboS;
        Prompts& prompts;
        CatalogueView& view;
        Catalogue& catalogue;
        SearchForm& form;
    };

    enum class Outcome { TermTooShort, NothingFound, Found };

    static constexpr int kShortestTerm = 4;
    static constexpr int kProgressMaximum = 120;  // two minutes at one tick a second
    static constexpr int kTicksWrap = 32767;

    explicit VideoSearch(Parts parts) : p_(parts) {}

    // The dialog's load: prepares the main window for results (labels emptied, "0 Items", the
    // list emptied and put into search mode at its full height, the category "Video Search").
    void load();
    // cmdOK and Enter in the term box. Returns when the answer has been listed (the window's
    // events run meanwhile, timer ticks included); a term too short never reaches the server.
    Outcome search(std::string_view term);
    // Timer1's tick: the bar shows the seconds since the request started, and stays full from
    // the two-minute mark on (a value above the bar's maximum is not taken).
    void tick();
    // The dialog refuses to close while a search runs.
    bool closeAllowed() const { return !searching_; }
    int ticks() const { return ticks_; }

  private:
    void setProgress(int value);

    Parts p_;
    bool searching_ = false;
    int ticks_ = 0;
    int progressMaximum_ = 100;  // the bar's maximum before the first search
    int progress_ = 0;
};

}  // namespace kinvo
