#include "vbNewAlbums.h"

#include "KitButtonFlags.h"
#include "vbKitStyle.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbReply.h"
#include "vbRequests.h"
#include "vbTitleBar.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateEdit>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Album names become folder names on the service: no path characters and no full stop.
const char kAlbumPattern[] = "[^\\\\/:*?\"<>|\\r\\n.]*";

QHBoxLayout* fieldRow(QLabel* caption, QWidget* field)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->setContentsMargins(10, 0, 10, 0);
    row->addWidget(caption);
    row->addWidget(field);
    row->addStretch();
    return row;
}
} // namespace

vbNewAlbums::vbNewAlbums(const QString& baseAddress, int userId, QWidget* parent, int deadlineMs)
    : vbKitDialog(parent), m_baseAddress(baseAddress), m_userId(userId), m_deadlineMs(deadlineMs),
      m_manager(new QNetworkAccessManager(this))
{
    setupUi();
    retranslateUi();

    connect(title, &vbTitleBar::Closed, this, &vbNewAlbums::on_btnCancel_clicked);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbNewAlbums::on_btnCancel_clicked);
    connect(btnOK, &vbPushButton::Clicked, this, &vbNewAlbums::on_btnOK_clicked);

    edit_name->setFocus();
}

vbNewAlbums::~vbNewAlbums()
{
    delete m_call;
}

void vbNewAlbums::setupUi()
{
    setObjectName(QStringLiteral("vbNewAlbumsClass"));
    setFixedSize(319, 159);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(1);
    column->setContentsMargins(1, 1, 1, 1);

    title = new vbTitleBar(this);
    title->setObjectName(QStringLiteral("title"));
    title->setFixedHeight(30);
    title->setButtons(CloseButton);
    column->addWidget(title);

    const auto caption = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setFixedSize(60, 30);
        return l;
    };
    const auto validator = [this] {
        return new QRegularExpressionValidator(QRegularExpression(QLatin1String(kAlbumPattern)), this);
    };

    label = caption("label");
    edit_name = new QLineEdit(this);
    edit_name->setObjectName(QStringLiteral("edit_name"));
    edit_name->setFixedSize(200, 25);
    edit_name->setMaxLength(50);
    edit_name->setValidator(validator());
    column->addLayout(fieldRow(label, edit_name));

    label_3 = caption("label_3");
    dateEdit = new QDateEdit(this);
    dateEdit->setObjectName(QStringLiteral("dateEdit"));
    dateEdit->setFixedSize(200, 25);
    dateEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dateEdit->setDate(QDate::currentDate());
    column->addLayout(fieldRow(label_3, dateEdit));

    label_2 = caption("label_2");
    edit_desc = new QLineEdit(this);
    edit_desc->setObjectName(QStringLiteral("edit_desc"));
    edit_desc->setFixedSize(200, 25);
    edit_desc->setMaxLength(200);
    edit_desc->setValidator(validator());
    column->addLayout(fieldRow(label_2, edit_desc));

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(6);
    buttonRow->setContentsMargins(10, 0, 0, 0);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    // "Create Albums failed!" is wider than the room left beside the buttons.
    lblStatus->setWordWrap(true);
    // Two lines of it must fit even where the row is only as tall as the buttons.
    lblStatus->setMinimumHeight(2 * lblStatus->fontMetrics().lineSpacing());
    QPalette red = lblStatus->palette();
    red.setColor(QPalette::Active, QPalette::WindowText, QColor(255, 0, 0));
    red.setColor(QPalette::Inactive, QPalette::WindowText, QColor(255, 0, 0));
    red.setColor(QPalette::Disabled, QPalette::WindowText, QColor(106, 104, 100));
    lblStatus->setPalette(red);
    buttonRow->addWidget(lblStatus, 1);
    btnOK = new vbPushButton(85, 25, QStringLiteral(":/Resources/ok.png"),
                             QStringLiteral(":/Resources/ok_hover.png"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setFixedSize(85, 25);
    buttonRow->addWidget(btnOK);
    btnCancel = new vbPushButton(85, 25, QStringLiteral(":/Resources/cancel.png"),
                                 QStringLiteral(":/Resources/cancel_hover.png"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setFixedSize(85, 25);
    buttonRow->addWidget(btnCancel);
    buttonRow->addSpacerItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    column->addLayout(buttonRow);
}

void vbNewAlbums::retranslateUi()
{
    const auto form = [](const char* text) { return QCoreApplication::translate("vbNewAlbumsClass", text); };
    setWindowTitle(form("vbNewAlbums"));
    title->setTitle(form("Create New Albums"));
    label->setText(form("Album name:"));
    label_3->setText(form("Date:"));
    label_2->setText(form("Descripte:"));
    vbKit::fitCaptions({label, label_3, label_2});
    btnOK->setText(form("OK"));
    btnCancel->setText(form("Cancel"));
}

void vbNewAlbums::on_btnOK_clicked()
{
    if (edit_name->text().isEmpty()) {
        edit_name->setFocus();
        return;
    }
    m_name = edit_name->text();
    m_description = edit_desc->text();
    const QUrl url =
        vbRequests::newAlbumUrl(m_baseAddress, m_name, dateEdit->date(), m_description, m_userId);
    qDebug().noquote() << url.toEncoded();

    // Pressing OK again asks again; only the answer to the latest request counts.
    delete m_call;
    lblStatus->clear();
    m_call = new vbServiceCall(m_manager, url, m_deadlineMs, this);
    // Queued: the message box must not run inside the network handler.
    connect(m_call, &vbServiceCall::sig_finished, this, &vbNewAlbums::slot_reply, Qt::QueuedConnection);
}

void vbNewAlbums::on_btnCancel_clicked()
{
    reject();
}

void vbNewAlbums::slot_reply(vbServiceCall* call)
{
    if (call != m_call)
        return;
    m_call = nullptr;
    call->deleteLater();

    vbServiceCall::Outcome failure = call->outcome();
    vbReply::NewAlbumAnswer answer;
    if (failure == vbServiceCall::Answered) {
        answer = vbReply::newAlbumAnswer(vbReply::decodeBody(call->body()));
        failure = vbServiceCall::Unreadable;
    }
    switch (answer.outcome) {
    case vbReply::NewAlbumAnswer::Unreadable:
        lblStatus->setText(vbServiceCall::failureStatus(failure));
        showTip(vbServiceCall::failureText(failure));
        break;
    case vbReply::NewAlbumAnswer::Refused:
        lblStatus->setText(tr("Create Albums failed!"));
        break;
    case vbReply::NewAlbumAnswer::Created:
        m_newAlbumId = answer.albumId;
        accept();
        break;
    }
}

void vbNewAlbums::showTip(const QString& text)
{
    vbMessageBox box(OkButton, tr("Tips"), text, this);
    box.exec();
}
