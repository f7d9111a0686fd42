#pragma once

#include "vbClickLabel.h"
#include "vbPushButton.h"
#include "vbWindowDrag.h"

// The owner uses the children directly, so their classes come along.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

// The top panel of the main window: logo, sign-in state, account buttons,
// view-mode menu, window buttons, album chooser, photo count and "Select
// Files". It drags the main window and asks it to maximise or restore through
// showMax(bool); the window itself reacts.
class vbToolPanel : public QWidget
{
    Q_OBJECT
public:
    explicit vbToolPanel(QWidget* owner);

    bool isMaximised() const { return m_maximised; }

    QMenu* viewModeMenu() const { return m_menu; }
    QAction* actionSmallIcon() const { return m_actSmallIcon; }
    QAction* actionBigIcon() const { return m_actBigIcon; }
    QAction* actionList() const { return m_actList; }
    QAction* actionPlay() const { return m_actPlay; }

    // Form children
    vbClickLabel* lblLogo;
    QLabel* lblLoginInfo;
    vbPushButton* btnLogin;
    vbPushButton* btnRegister;
    vbPushButton* btnTask;
    vbPushButton* btnHelp;
    vbPushButton* btnViewMode;
    vbPushButton* btnMin;
    vbPushButton* btnNormal;
    vbPushButton* btnClose;
    QLabel* label;
    QComboBox* comboBox;
    vbClickLabel* lblCreate;
    QLabel* lblSelectCount;
    vbPushButton* btnSelectFile;

public slots:
    void slot_min();
    void slot_normal();

signals:
    void showMax(bool maximise);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* ownerWindow() const;

    QWidget* m_owner;
    bool m_maximised = false;
    vbWindowDrag m_drag;
    QMenu* m_menu;
    QAction* m_actSmallIcon;
    QAction* m_actBigIcon;
    QAction* m_actList;
    QAction* m_actPlay;
};
