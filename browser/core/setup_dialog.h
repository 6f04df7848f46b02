#pragma once
// The settings dialog's logic, frmSetup without its widgets: what the controls start with, the
// two check boxes that write at once, and what OK stores and applies to the main window. The form
// implements SetupView and forwards its events here; tests put a scripted view in its place.
//
// Contract. User-interface thread only. The form calls load() once, after building its
// controls; then, in any order, the click handlers; then ok() or nothing (Cancel and the close
// box write nothing; what the two immediate boxes wrote stays written). Keeping the main window
// off the top while the dialog is open is the form's part (DialogTopmostPause), as is closing.
//
// Error policy: nothing fails out of the dialog. A stored value that does not fit the control it
// sets is skipped and the control keeps what it had (a flag other than 0 or 1 leaves its box
// unticked; a font or connection type the lists lack leaves that box without a choice, so OK
// stores the empty text: for "Font" the design font stays at the next start, for "Speed" the
// next start asks the connection type again). A size that is not a whole number from 3 to 20 is
// stored and applied as 10.
//
// The adult-content box. Setting the box from the stored value after a password answer is a
// change of the box like the user's own; the view may well report it as a click again. It is set
// under the same guard as loading, so such a report is ignored: one click asks for the password
// once, a wrong answer leaves the box unticked and the dialog waits for the next click.
//
// The lock is only the stored "AdultSettings" flag: the password is fixed in the program and the
// dialog tells it whenever the lock is switched on, and anyone who edits the settings file can
// change the flag. Existing settings files rely on that form, so it stays.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kinvo {

class InputBox;
class MainWindowHost;
class Prompts;
class SettingsStore;

// The dialog's controls as the logic sees them.
class SetupView {
  public:
    enum class Box {
        Tray,
        Adult,
        ShowControls,
        AlwaysOnTop
    };  // chkSystem chkAdult chkShowP chkTop

    virtual ~SetupView() = default;

    virtual void setBox(Box box, bool ticked) = 0;
    virtual bool box(Box box) const = 0;
    // The desktop's font names in the desktop's order (ComboF's list comes from them).
    virtual std::vector<std::string> screenFonts() const = 0;
    // ComboF: its list, and the entry chosen by name (without regard to case); a name the list
    // lacks leaves no entry chosen.
    virtual void setFontNames(const std::vector<std::string>& names) = 0;
    virtual void chooseFont(std::string_view name) = 0;
    virtual std::string fontName() const = 0;  // empty when none is chosen
    // comboS: its list and its text, which the user may type over.
    virtual void setSizes(const std::vector<std::string>& sizes) = 0;
    virtual void setSizeText(std::string_view text) = 0;
    virtual std::string sizeText() const = 0;
    // lblColor's background, in the stored form (red in the lowest byte).
    virtual void setColour(std::int64_t colour) = 0;
    virtual std::int64_t colour() const = 0;
    // comboSpeed: as ComboF.
    virtual void setSpeeds(const std::vector<std::string>& speeds) = 0;
    virtual void chooseSpeed(std::string_view speed) = 0;
    virtual std::string speed() const = 0;
};

struct SetupParts {
    SettingsStore& settings;
    Prompts& prompts;
    InputBox& inputBox;
    MainWindowHost& host;  // the main window the font and colour apply to
    SetupView& view;
    std::function<void()> letEventsRun;  // lets pending window events run once (while filling)
};

class SetupDialog {
  public:
    explicit SetupDialog(SetupParts parts) : p_(std::move(parts)) {}

    // The sizes comboS offers ("6" to "20") and the connection types comboSpeed offers.
    static std::vector<std::string> sizes();
    static std::vector<std::string> speeds();

    // Opening: the four boxes from "Tray", "AdultSettings", "ShowControls", "AlwaysOnTop" (whole
    // numbers, default 0); the fonts; the sizes; "Font" and "FontSize" (default: the list's
    // current font and size); the colour from "BKColor" (default: the window's background; one
    // that is not a number leaves that background); the types and "Speed" (default "Broadband").
    void load();

    // chkAdult's click, the box already showing the user's change; ignored while loading.
    // Locked ("AdultSettings" 0, or not a number): asks for the password; the right one stores
    // 1 and asks for a restart, anything else (Cancel too) stores 0; the box then shows the
    // stored value. Unlocked: tells the password, stores the box's value, asks for a restart.
    void adultClicked();
    // chkShowP's click: its value goes to "ShowControls" at once; ignored while loading.
    void showControlsClicked();

    // OK: stores "Tray", "FontSize" (corrected), "Font", "AdultSettings", "AlwaysOnTop"; applies
    // the font and the size to the station list and the colour to the main window, lays it out;
    // then stores "BKColor" and "Speed". The form closes afterwards.
    void ok();

    bool loading() const { return loading_; }

  private:
    // Sets a box from a stored flag under the loading guard; a value other than 0 or 1 is
    // skipped.
    void setBoxFromStored(SetupView::Box box, std::string_view key);
    void writeBox(SetupView::Box box, std::string_view key);

    SetupParts p_;
    bool loading_ = false;
};

}  // namespace kinvo
