#include "vbPlayer.h"

#include "vbFileNode.h"
#include "vbPaintWnd.h"
#include "vbPushButton.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

vbPlayer::vbPlayer(const QList<vbFileNode*>& photos, QWidget* parent) : QDialog(parent)
{
    for (vbFileNode* node : photos)
        m_photos.append(QPointer<vbFileNode>(node));

    setupUi();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);

    for (int seconds = 1; seconds <= 5; ++seconds)
        m_cbxSpeed->addItem(QString::number(seconds));
    // Selected before the connection: the opening speed is the slideshow's own.
    m_cbxSpeed->setCurrentIndex(2);
    connect(m_cbxSpeed, &QComboBox::currentIndexChanged, this, &vbPlayer::on_cbxSpeed_textChanged);
    connect(m_btnPre, &vbPushButton::Clicked, this, &vbPlayer::on_btnPre_clicked);
    connect(m_btnPlay, &vbPushButton::Clicked, this, &vbPlayer::on_btnPlay_clicked);
    connect(m_btnPause, &vbPushButton::Clicked, this, &vbPlayer::on_btnPause_clicked);
    connect(m_btnNext, &vbPushButton::Clicked, this, &vbPlayer::on_btnNext_clicked);
    connect(m_btnExit, &vbPushButton::Clicked, this, &vbPlayer::on_btnExit_clicked);

    // The first photo comes after one second, the others at the chosen speed.
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("timer"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &vbPlayer::slot_timeOut);
    m_timer->start();

    // Shown here already, so exec() would not make it modal any more.
    setWindowModality(Qt::ApplicationModal);
    showMaximized();
}

void vbPlayer::setupUi()
{
    setObjectName(QStringLiteral("vbPlayerClass"));
    resize(869, 386);

    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    verticalLayout->setSpacing(0);

    m_paintWnd = new vbPaintWnd(this);
    m_paintWnd->setObjectName(QStringLiteral("paintWnd"));
    m_paintWnd->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    verticalLayout->addWidget(m_paintWnd, 1);

    auto* horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->setContentsMargins(6, 4, 6, 0);
    m_lblLogo = new QLabel(this);
    m_lblLogo->setObjectName(QStringLiteral("lblLogo"));
    m_lblLogo->setFixedSize(200, 45);
    m_lblLogo->setPixmap(QPixmap(QStringLiteral(":/Resources/logo.png")));
    m_lblNo = new QLabel(this);
    m_lblNo->setObjectName(QStringLiteral("lblNo"));
    m_lblNo->setMinimumSize(60, 30);
    m_lblName = new QLabel(this);
    m_lblName->setObjectName(QStringLiteral("lblName"));
    m_lblName->setMinimumSize(60, 30);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("label"));
    m_cbxSpeed = new QComboBox(this);
    m_cbxSpeed->setObjectName(QStringLiteral("cbxSpeed"));
    m_cbxSpeed->setFixedSize(50, 21);
    horizontalLayout_2->addWidget(m_lblLogo);
    horizontalLayout_2->addWidget(m_lblNo);
    horizontalLayout_2->addWidget(m_lblName, 1);
    horizontalLayout_2->addWidget(m_label);
    horizontalLayout_2->addWidget(m_cbxSpeed);
    verticalLayout->addLayout(horizontalLayout_2);

    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 4);
    m_btnPre = makeButton("btnPre", QStringLiteral("pre"));
    m_btnPlay = makeButton("btnPlay", QStringLiteral("play"));
    m_btnPause = makeButton("btnPause", QStringLiteral("pause"));
    m_btnNext = makeButton("btnNext", QStringLiteral("next"));
    m_btnExit = makeButton("btnExit", QStringLiteral("exit"));
    horizontalLayout->addStretch();
    for (vbPushButton* button : {m_btnPre, m_btnPlay, m_btnPause, m_btnNext, m_btnExit})
        horizontalLayout->addWidget(button);
    horizontalLayout->addStretch();
    verticalLayout->addLayout(horizontalLayout);

    retranslateUi();
}

vbPushButton* vbPlayer::makeButton(const char* name, const QString& image)
{
    auto* button =
        new vbPushButton(64, 64, QStringLiteral(":/Resources/") + image + QStringLiteral(".png"),
                         QStringLiteral(":/Resources/") + image + QStringLiteral("_hover.png"), this);
    button->setObjectName(QLatin1String(name));
    return button;
}

void vbPlayer::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("vbPlayerClass", "vbPlayer"));
    m_label->setText(QCoreApplication::translate("vbPlayerClass", "Speed:"));
}

void vbPlayer::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void vbPlayer::showPhoto(int index)
{
    const int n = count();
    m_lblNo->setText(QString::number(index + 1) + QLatin1Char('/') + QString::number(n));
    // A photo removed from the list while the slideshow runs shows as black.
    const vbFileNode* node = m_photos.at(index);
    if (!node) {
        m_lblName->clear();
        m_paintWnd->setImagePath(QString());
        return;
    }
    // The service stores every photo as JPEG, so that is the name it will have.
    m_lblName->setText(node->baseName() + QStringLiteral(".jpg"));
    m_paintWnd->setImagePath(node->absoluteFilePath());
}

void vbPlayer::slot_timeOut()
{
    if (m_firstTick) {
        m_timer->setInterval(3000);
        m_firstTick = false;
    }
    on_btnNext_clicked();
}

void vbPlayer::on_cbxSpeed_textChanged(int)
{
    bool ok = false;
    const int seconds = m_cbxSpeed->currentText().toInt(&ok);
    if (!ok || seconds <= 0)
        return;
    // The chosen speed also holds when the first tick has not come yet.
    m_firstTick = false;
    m_timer->start(seconds * 1000);
}

void vbPlayer::on_btnPre_clicked()
{
    const int n = count();
    if (n == 0)
        return;
    m_current = ((m_current - 1) % n + n) % n;
    showPhoto(m_current);
}

void vbPlayer::on_btnNext_clicked()
{
    const int n = count();
    if (n == 0)
        return;
    m_current = (m_current + 1) % n;
    showPhoto(m_current);
}

void vbPlayer::on_btnPause_clicked()
{
    m_timer->stop();
}

void vbPlayer::on_btnPlay_clicked()
{
    m_timer->start();
}

void vbPlayer::on_btnExit_clicked()
{
    accept();
}

void vbPlayer::mousePressEvent(QMouseEvent* event)
{
    // Presses that the controls take never get here; a click on the picture or
    // the bare window ends the slideshow.
    event->accept();
    accept();
}
