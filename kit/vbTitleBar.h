#pragma once

#include "KitButtonFlags.h"
#include "vbPushButton.h"
#include "vbWindowDrag.h"

#include <QWidget>

// The 30-pixel caption strip of a frameless window: title at the left,
// minimise / maximise-restore / close at the right, and dragging the window.
class vbTitleBar : public QWidget
{
    Q_OBJECT
public:
    // owner is the parent; the window it belongs to is what moves and resizes.
    explicit vbTitleBar(QWidget* owner);

    void setTitle(const QString& title);
    QString title() const { return m_title; }

    // Shows each button whose bit (MinButton, MaxButton, CloseButton) is set.
    void setButtons(int flags);

    bool isMaximised() const { return m_maximised; }
    vbPushButton* minButton() const { return m_btnMin; }
    vbPushButton* maxButton() const { return m_btnMax; }
    vbPushButton* closeButton() const { return m_btnClose; }

public slots:
    void slot_closed();
    void showSmall();
    void showMaxRestore();

signals:
    void Closed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* ownerWindow() const;

    QWidget* m_owner;
    vbPushButton* m_btnMin;
    vbPushButton* m_btnMax;
    vbPushButton* m_btnClose;
    bool m_maximised = false;
    vbWindowDrag m_drag;
    QString m_title;
};
