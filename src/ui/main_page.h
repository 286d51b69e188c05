#pragma once

// The Main page: the three profile-name boxes, the profile switches, import,
// export and reset of the settings file, and the seven button areas that
// open the button popup.

#include <QObject>
#include <QPointer>
#include <array>

#include "programming/session.h"
#include "ui/page_host.h"

class QLineEdit;

namespace kx700::ui {

class MainPage : public QObject {
    Q_OBJECT
public:
    MainPage(PageHost host, Session& session, MessageSink& messages);

    // The boxes come with the page and go with it.
    void createControls();
    void destroyControls();
    bool shown() const;

    // A left-button press on an area of the page: the button popups.
    void Press(int area);
    void SelectProfile(int i);
    void ImportSettings();
    void ExportSettings();
    void ResetSettings();

private:
    void connectProfileEdit(QLineEdit* edit, int i);

    PageHost host_;
    Session& session_;
    MessageSink& messages_;
    std::array<QPointer<QLineEdit>, 3> edits_;
};

}  // namespace kx700::ui
