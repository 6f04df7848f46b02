#pragma once
// frmMain's menu bar: captions with their "&" accelerators, the shortcut keys, separators, and
// the two entries that are switched off. The window connects the entries to its actions.

class QAction;
class QMenuBar;

namespace kinvo {

struct MainMenu {
    QAction* menuStations;  // View/Hide Station Menu
    QAction* menuPlay;
    QAction* menuStop;
    QAction* menuPrevious;  // no action, switched off
    QAction* menuNext;      // no action, switched off
    QAction* menuAddFav;
    QAction* menuFavs;
    QAction* menuSetup;
    QAction* menuExit;
    QAction* menuVolDown;
    QAction* menuVolUp;
    QAction* menuSmall;
    QAction* menuMedium;
    QAction* menuLarge;
    QAction* menuFill;
    QAction* menuHelp;
    QAction* menuSupport;
    QAction* menuVisit;
    QAction* menuAbout;
};

MainMenu buildMainMenu(QMenuBar& bar);

}  // namespace kinvo
