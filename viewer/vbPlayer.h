#pragma once

#include "vbFileNode.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QTimer;
class vbPaintWnd;
class vbPushButton;

// The slideshow: the photos of the list one after another, maximised, with a
// counter, the photo's name, a speed choice and previous / play / pause / next /
// exit buttons. A click on the window outside the controls closes it.
class vbPlayer : public QDialog
{
    Q_OBJECT
public:
    explicit vbPlayer(const QList<vbFileNode*>& photos, QWidget* parent = nullptr);

    int current() const { return m_current; }
    int count() const { return int(m_photos.size()); }
    QTimer* timer() const { return m_timer; }
    vbPaintWnd* paintWnd() const { return m_paintWnd; }

public slots:
    void slot_timeOut();
    void on_cbxSpeed_textChanged(int index);
    void on_btnPre_clicked();
    void on_btnPlay_clicked();
    void on_btnPause_clicked();
    void on_btnNext_clicked();
    void on_btnExit_clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void showPhoto(int index);
    vbPushButton* makeButton(const char* name, const QString& image);

    QList<QPointer<vbFileNode>> m_photos;
    int m_current = -1;
    bool m_firstTick = true;
    QTimer* m_timer = nullptr;

    vbPaintWnd* m_paintWnd = nullptr;
    QLabel* m_lblLogo = nullptr;
    QLabel* m_lblNo = nullptr;
    QLabel* m_lblName = nullptr;
    QLabel* m_label = nullptr;
    QComboBox* m_cbxSpeed = nullptr;
    vbPushButton* m_btnPre = nullptr;
    vbPushButton* m_btnPlay = nullptr;
    vbPushButton* m_btnPause = nullptr;
    vbPushButton* m_btnNext = nullptr;
    vbPushButton* m_btnExit = nullptr;
};
