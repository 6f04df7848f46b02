#include "browser/core/setup_dialog.h"

#include "browser/core/input_box.h"
#include "browser/core/list_font.h"
#include "browser/core/main_window_host.h"
#include "browser/core/prompts.h"
#include "browser/core/settings_store.h"
#include "browser/core/texts.h"

#include <algorithm>
#include <cctype>

namespace kinvo {

namespace {

constexpr int kFewestOfferedPoints = 6;
constexpr int kMostOfferedPoints = 20;

// Sets the loading flag for its life and gives back what it was.
class LoadingGuard {
  public:
    explicit LoadingGuard(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~LoadingGuard() { flag_ = was_; }
    LoadingGuard(const LoadingGuard&) = delete;
    LoadingGuard& operator=(const LoadingGuard&) = delete;

  private:
    bool& flag_;
    bool was_;
};

std::string upperCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

const char* flag(bool ticked) {
    return ticked ? "1" : "0";
}

}  // namespace

std::vector<std::string> SetupDialog::sizes() {
    std::vector<std::string> out;
    for (int points = kFewestOfferedPoints; points <= kMostOfferedPoints; ++points) {
        out.push_back(std::to_string(points));
    }
    return out;
}

std::vector<std::string> SetupDialog::speeds() {
    return {std::string(texts::kDialup), std::string(texts::kBroadband),
            std::string(texts::kAllContent)};
}

void SetupDialog::setBoxFromStored(SetupView::Box box, std::string_view key) {
    const auto value = p_.settings.readNumber(key, 0);
    if (value == 0 || value == 1) {
        LoadingGuard guard(loading_);
        p_.view.setBox(box, *value == 1);
    }
}

void SetupDialog::writeBox(SetupView::Box box, std::string_view key) {
    p_.settings.write(key, flag(p_.view.box(box)));
}

void SetupDialog::load() {
    LoadingGuard guard(loading_);
    SettingsStore& s = p_.settings;
    SetupView& v = p_.view;
    setBoxFromStored(SetupView::Box::Tray, texts::kKeyTray);
    setBoxFromStored(SetupView::Box::Adult, texts::kKeyAdultSettings);
    setBoxFromStored(SetupView::Box::ShowControls, texts::kKeyShowControls);
    setBoxFromStored(SetupView::Box::AlwaysOnTop, texts::kKeyAlwaysOnTop);

    std::vector<std::string> fonts = v.screenFonts();
    std::erase_if(fonts, [](const std::string& name) { return name.empty(); });
    v.setFontNames(fonts);
    if (p_.letEventsRun) {
        p_.letEventsRun();
    }
    v.setSizes(sizes());

    v.chooseFont(s.readText(texts::kKeyFont, p_.host.listFontName()));
    v.setSizeText(s.readText(texts::kKeyFontSize, std::to_string(p_.host.listFontSize())));
    const std::int64_t background = p_.host.backgroundColour();
    v.setColour(s.readNumber(texts::kKeyBKColor, background).value_or(background));

    v.setSpeeds(speeds());
    v.chooseSpeed(s.readText(texts::kKeySpeed, texts::kBroadband));
}

void SetupDialog::adultClicked() {
    if (loading_) {
        return;
    }
    SettingsStore& s = p_.settings;
    if (s.readNumber(texts::kKeyAdultSettings, 0).value_or(0) == 0) {
        const std::string answer = p_.inputBox.ask(texts::kEnterPassword, texts::kTitle, "");
        const bool right = upperCase(answer) == texts::kAdultPassword;
        s.write(texts::kKeyAdultSettings, flag(right));
        setBoxFromStored(SetupView::Box::Adult, texts::kKeyAdultSettings);
        if (right) {
            p_.prompts.message(texts::kRestartForSetting, Prompts::Buttons::Ok,
                               Prompts::Icon::Information);
        }
        return;
    }
    p_.prompts.message(texts::kAdultLockNotice, Prompts::Buttons::Ok, Prompts::Icon::Critical);
    p_.prompts.message(texts::kNewPassword, Prompts::Buttons::Ok, Prompts::Icon::Critical);
    writeBox(SetupView::Box::Adult, texts::kKeyAdultSettings);
    p_.prompts.message(texts::kRestartForSetting, Prompts::Buttons::Ok, Prompts::Icon::Information);
}

void SetupDialog::showControlsClicked() {
    if (!loading_) {
        writeBox(SetupView::Box::ShowControls, texts::kKeyShowControls);
    }
}

void SetupDialog::ok() {
    SettingsStore& s = p_.settings;
    SetupView& v = p_.view;
    writeBox(SetupView::Box::Tray, texts::kKeyTray);
    const std::string size = std::to_string(correctedListFontSize(v.sizeText()));
    s.write(texts::kKeyFontSize, size);
    const std::string font = v.fontName();
    s.write(texts::kKeyFont, font);
    writeBox(SetupView::Box::Adult, texts::kKeyAdultSettings);
    writeBox(SetupView::Box::AlwaysOnTop, texts::kKeyAlwaysOnTop);

    applyListFont(p_.host, font, size);
    const std::int64_t colour = v.colour();
    p_.host.setBackgroundColour(colour);
    p_.host.layOut();

    s.write(texts::kKeyBKColor, std::to_string(colour));
    s.write(texts::kKeySpeed, v.speed());
}

}  // namespace kinvo
