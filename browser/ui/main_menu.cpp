#include "browser/ui/main_menu.h"

#include "browser/core/texts.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace kinvo {

namespace {
QAction* entry(QMenu* menu, const char* caption, QKeySequence shortcut = {}) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setShortcut(shortcut);
    // The shortcuts work wherever the focus is in the main window, menus closed or open.
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}
}  // namespace

MainMenu buildMainMenu(QMenuBar& bar) {
    MainMenu m{};
    QMenu* station = bar.addMenu(QStringLiteral("&Station"));
    m.menuStations = entry(station, "&View/Hide Station Menu", Qt::Key_F2);
    station->addSeparator();
    m.menuPlay = entry(station, "Play", Qt::Key_F3);
    m.menuStop = entry(station, "Stop", Qt::Key_F4);
    station->addSeparator();
    m.menuPrevious = entry(station, "Previous Station", Qt::Key_F11);
    m.menuNext = entry(station, "Next Station", Qt::Key_F12);
    m.menuPrevious->setEnabled(false);
    m.menuNext->setEnabled(false);
    station->addSeparator();
    m.menuAddFav = entry(station, "Add Selected Station to Favorites", Qt::Key_F6);
    m.menuFavs = entry(station, "Go to Favorites", Qt::Key_F7);
    station->addSeparator();
    m.menuSetup = entry(station, "&Setup");
    station->addSeparator();
    m.menuExit = entry(station, "E&xit", QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu* volume = bar.addMenu(QStringLiteral("&Volume"));
    m.menuVolDown = entry(volume, "Volume Down", Qt::Key_F8);
    m.menuVolUp = entry(volume, "Volume Up", Qt::Key_F9);

    QMenu* zoom = bar.addMenu(QStringLiteral("&Zoom"));
    m.menuSmall = entry(zoom, "Small");
    m.menuMedium = entry(zoom, "Medium");
    m.menuLarge = entry(zoom, "Large");
    m.menuFill = entry(zoom, "Fill Window");

    QMenu* help = bar.addMenu(QStringLiteral("&Help"));
    m.menuHelp = entry(help, "&Help", Qt::Key_F1);
    m.menuSupport = entry(help, "&Support");
    help->addSeparator();
    m.menuVisit = entry(help, ("&Visit " + std::string(texts::kVendorName)).c_str());
    help->addSeparator();
    m.menuAbout = entry(help, "&About");
    return m;
}

}  // namespace kinvo
