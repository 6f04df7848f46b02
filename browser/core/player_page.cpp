#include "browser/core/player_page.h"

#include "browser/core/category_box.h"
#include "browser/core/player_probes.h"
#include "browser/core/player_view.h"
#include "browser/core/program_state.h"
#include "browser/core/prompts.h"
#include "browser/core/settings_store.h"
#include "browser/core/shell_open.h"
#include "browser/core/texts.h"
#include "browser/core/web_view.h"
#include "catalogue/text_shift.h"

#include <QSaveFile>

namespace kinvo {
namespace {

namespace tp = texts::page;

bool writePage(const QString& path, const std::string& page) {
    // Replaced in one step, so a failed write leaves the earlier page whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(page.data(), static_cast<qint64>(page.size()));
    file.write(tp::kLineEnd.data(), static_cast<qint64>(tp::kLineEnd.size()));
    return file.commit();
}

}  // namespace

PlayerPage::PlayerPage(Parts parts) : p_(std::move(parts)) {
    p_.web1.setNavigationComplete(
        [this](const QString& address) { Web1_NavigateComplete(address); });
}

QString PlayerPage::pagePath() const {
    return p_.programFolder + QLatin1Char('/') + QString::fromLatin1(tp::kFileName.data());
}

bool PlayerPage::showControls() const {
    return p_.settings.readNumber(tp::kKeyShowControls, tp::kDefaultShowControls) == 1 ||
           p_.comboS.text() == texts::kVideoSearch;
}

void PlayerPage::BuildPlayerPage(const std::string& address, std::string& name) {
    (void)name;
    build(address);
}

PlayerPage::Outcome PlayerPage::build(std::string_view address) {
    if (address.empty()) {
        return Outcome::Nothing;
    }
    p_.state.pendingHelpPage.clear();

    PageValues values;
    values.colour = pageColour(p_.settings.readNumber(tp::kKeyBKColor, tp::kDefaultBKColor));
    values.zoomPercent = p_.zoomPercent();
    values.dataServer = p_.state.dataServer;
    const std::string decoded = DecodeText(address, true);
    values.player = choosePlayer(decoded);
    values.address = values.player == Player::PlaybackControl
                         ? std::string(controlPageAddress(decoded))
                         : decoded;
    if (!checkPlayer(values.player)) {
        reportMissing(values.player);
        return Outcome::PlayerMissing;
    }
    values.showControls = showControls();

    const bool written = writePage(pagePath(), playerPage(values));
    p_.web1.navigate(pagePath());
    return written ? Outcome::Written : Outcome::WriteFailed;
}

bool PlayerPage::checkPlayer(Player player) {
    switch (player) {
        case Player::Flash:
        case Player::PlaybackControl:
            return true;
        case Player::QuickTime:
            if (!flags_.quickTimeConfirmed && quickTimePresent(p_.probes.probeQuickTime())) {
                flags_.quickTimeConfirmed = true;
            }
            return flags_.quickTimeConfirmed;
        case Player::WindowsMedia:
            if (!flags_.windowsMediaConfirmed) {
                const PlayerProbes::VersionAnswer answer = p_.probes.probeWindowsMedia();
                if (!answer.created) {
                    p_.prompts.message(tp::kNoObject, Prompts::Buttons::Ok, Prompts::Icon::None);
                } else if (windowsMediaPresent(answer.version)) {
                    flags_.windowsMediaConfirmed = true;
                }
            }
            return flags_.windowsMediaConfirmed;
        case Player::RealPlayer:
            if (!flags_.realPlayerConfirmed) {
                const PlayerProbes::VersionAnswer answer = p_.probes.probeRealPlayer();
                if (answer.created && realPlayerPresent(answer.version)) {
                    flags_.realPlayerConfirmed = true;
                }
            }
            return flags_.realPlayerConfirmed;
    }
    return false;
}

void PlayerPage::reportMissing(Player player) {
    std::string_view question;
    std::string_view helpPath;
    switch (player) {
        case Player::QuickTime:
            question = tp::kQuickTimeQuestion;
            helpPath = tp::kQuickTimeHelpPath;
            break;
        case Player::WindowsMedia:
            question = tp::kWindowsMediaQuestion;
            helpPath = tp::kWindowsMediaHelpPath;
            break;
        case Player::RealPlayer:
            question = tp::kRealPlayerQuestion;
            helpPath = tp::kRealPlayerHelpPath;
            break;
        case Player::Flash:
        case Player::PlaybackControl:
            return;  // never probed, so never missing
    }
    const Prompts::Answer answer =
        p_.prompts.message(question, Prompts::Buttons::OkCancel, Prompts::Icon::Critical);
    if (answer == Prompts::Answer::Ok) {
        p_.prompts.message(tp::kRetryAfterInstall, Prompts::Buttons::Ok, Prompts::Icon::None);
        std::string help(texts::kScheme);
        help += p_.state.dataServer;
        help += helpPath;
        if (player == Player::QuickTime) {
            ShellOpen(help, p_.shell, p_.prompts);
        } else {
            p_.state.pendingHelpPage = std::move(help);
        }
    }
    p_.view.showStationList();
}

void PlayerPage::StopPlayer() {
    p_.web1.hide();
    p_.web1.stop();
    p_.web1.navigate(QString());
}

void PlayerPage::Web1_NavigateComplete(const QString& address) {
    if (!address.contains(QString::fromLatin1(tp::kFileName.data()), Qt::CaseSensitive)) {
        return;
    }
    p_.web1.show();
    p_.view.layOut();
}

void PlayerPage::menuStop() {
    p_.state.stopRequested = true;
    StopPlayer();
    p_.view.hideStatLabel();
    p_.view.showStationList();
}

}  // namespace kinvo
