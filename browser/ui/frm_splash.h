#pragma once
// frmSplash: the picture and the status line lblS shown while the data server is looked for.

#include <QWidget>

#include <string_view>

class QLabel;

namespace kinvo {

class frmSplash : public QWidget {
  public:
    frmSplash();
    // lblS, painted at once (discovery lets events run only now and then).
    void setStatus(std::string_view text);
    QLabel* lblS;
};

}  // namespace kinvo
