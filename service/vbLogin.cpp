#include "vbLogin.h"

#include "KitButtonFlags.h"
#include "vbAccountStore.h"
#include "vbClickLabel.h"
#include "vbEndpoints.h"
#include "vbIniParser.h"
#include "vbKitStyle.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbRequests.h"
#include "vbSignIn.h"
#include "vbTitleBar.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Characters a file or folder name on the service side cannot hold.
const char kAccountPattern[] = "[^\\\\/:*?\"<>|\\r\\n]*";

QHBoxLayout* fieldRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->setContentsMargins(10, 0, 0, 0);
    return row;
}
} // namespace

vbLogin::vbLogin(const vbEndpoints& endpoints, QWidget* parent, int deadlineMs)
    : vbKitDialog(parent), m_endpoints(endpoints),
      m_signIn(new vbSignIn(endpoints, QStringLiteral("Http"), this))
{
    m_signIn->setDeadlineMs(deadlineMs);
    setupUi();
    retranslateUi();

    connect(title, &vbTitleBar::Closed, this, &vbLogin::on_btnCancel_clicked);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbLogin::on_btnCancel_clicked);
    connect(btnLogin, &vbPushButton::Clicked, this, &vbLogin::on_btnLogin_clicked);
    connect(lblRegister, &vbClickLabel::Clicked, this, &vbLogin::on_btnRegister_clicked);
    connect(lbl_getPassword, &vbClickLabel::Clicked, this, &vbLogin::on_btnGetPassword_clicked);
    connect(cbx_autoLogin, &QCheckBox::stateChanged, this, &vbLogin::on_cbx_autoLogin_stateChanged);
    // Return in either field signs in, like pressing the button.
    connect(edit_name, &QLineEdit::returnPressed, this, &vbLogin::on_btnLogin_clicked);
    connect(edit_password, &QLineEdit::returnPressed, this, &vbLogin::on_btnLogin_clicked);

    connect(m_signIn, &vbSignIn::sig_signedIn, this, &vbLogin::slot_signedIn);
    connect(m_signIn, &vbSignIn::sig_loginFailed, this, &vbLogin::slot_loginFailed);
    connect(m_signIn, &vbSignIn::sig_albumsReceived, this, &vbLogin::slot_albumsReceived);
    // Queued: the message box must not run inside the network handler.
    connect(m_signIn, &vbSignIn::sig_serviceFailed, this, &vbLogin::slot_serviceFailed, Qt::QueuedConnection);
    connect(m_signIn, &vbSignIn::sig_albumsFailed, this, &vbLogin::slot_serviceFailed, Qt::QueuedConnection);

    edit_name->setFocus();
}

vbLogin::~vbLogin() = default;

void vbLogin::setupUi()
{
    setObjectName(QStringLiteral("vbLoginClass"));
    resize(386, 168);
    setMinimumSize(386, 168);
    setMaximumSize(396, 168);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(1);
    column->setContentsMargins(1, 1, 1, 1);

    title = new vbTitleBar(this);
    title->setObjectName(QStringLiteral("title"));
    title->setFixedHeight(30);
    title->setButtons(CloseButton);
    column->addWidget(title);

    const auto validator = [this] {
        return new QRegularExpressionValidator(QRegularExpression(QLatin1String(kAccountPattern)), this);
    };

    auto* nameRow = fieldRow();
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setFixedSize(60, 30);
    nameRow->addWidget(label);
    edit_name = new QLineEdit(this);
    edit_name->setObjectName(QStringLiteral("edit_name"));
    edit_name->setFixedSize(180, 30);
    edit_name->setValidator(validator());
    nameRow->addWidget(edit_name);
    lblRegister = new vbClickLabel(this);
    lblRegister->setObjectName(QStringLiteral("lblRegister"));
    vbKit::applyLinkLook(lblRegister);
    nameRow->addWidget(lblRegister);
    nameRow->addStretch();
    column->addLayout(nameRow);

    auto* passwordRow = fieldRow();
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setFixedSize(60, 30);
    passwordRow->addWidget(label_2);
    edit_password = new QLineEdit(this);
    edit_password->setObjectName(QStringLiteral("edit_password"));
    edit_password->setFixedSize(180, 30);
    edit_password->setEchoMode(QLineEdit::Password);
    edit_password->setValidator(validator());
    passwordRow->addWidget(edit_password);
    lbl_getPassword = new vbClickLabel(this);
    lbl_getPassword->setObjectName(QStringLiteral("lbl_getPassword"));
    vbKit::applyLinkLook(lbl_getPassword);
    passwordRow->addWidget(lbl_getPassword);
    passwordRow->addStretch();
    column->addLayout(passwordRow);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(6);
    buttonRow->setContentsMargins(10, 2, 10, 2);
    cbx_autoLogin = new QCheckBox(this);
    cbx_autoLogin->setObjectName(QStringLiteral("cbx_autoLogin"));
    cbx_autoLogin->setChecked(true);
    buttonRow->addWidget(cbx_autoLogin);
    buttonRow->addStretch();
    btnLogin = new vbPushButton(85, 25, QStringLiteral(":/Resources/ok.png"),
                                QStringLiteral(":/Resources/ok_hover.png"), this);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    btnLogin->setFixedSize(85, 25);
    buttonRow->addWidget(btnLogin);
    btnCancel = new vbPushButton(85, 25, QStringLiteral(":/Resources/cancel.png"),
                                 QStringLiteral(":/Resources/cancel_hover.png"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setFixedSize(85, 25);
    buttonRow->addWidget(btnCancel);
    column->addLayout(buttonRow);

    line = new QFrame(this);
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);

    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(2);
    statusRow->setContentsMargins(10, 0, 10, 0);
    label_5 = new QLabel(this);
    label_5->setObjectName(QStringLiteral("label_5"));
    statusRow->addWidget(label_5);
    lbl_status = new QLabel(this);
    lbl_status->setObjectName(QStringLiteral("lbl_status"));
    statusRow->addWidget(lbl_status, 1);
    column->addLayout(statusRow);
}

void vbLogin::retranslateUi()
{
    const auto form = [](const char* text) { return QCoreApplication::translate("vbLoginClass", text); };
    setWindowTitle(form("vbLogin"));
    title->setTitle(form("Please enter your email&password"));
    label->setText(form("User:"));
    lblRegister->setText(form("Register"));
    label_2->setText(form("Password:"));
    lbl_getPassword->setText(form("Forget Password"));
    cbx_autoLogin->setText(form("autoLogin"));
    btnLogin->setText(form("Login"));
    btnCancel->setText(form("Cancel"));
    label_5->setText(form("Status:"));
    vbKit::fitCaptions({label, label_2});
}

void vbLogin::reject()
{
    m_signIn->cancel();
    edit_name->setEnabled(true);
    edit_password->setEnabled(true);
    btnLogin->setEnabled(true);
    lbl_status->clear();
    vbKitDialog::reject();
}

void vbLogin::on_cbx_autoLogin_stateChanged(int state)
{
    m_autoLogin = state == Qt::Checked;
}

void vbLogin::on_btnCancel_clicked()
{
    reject();
}

void vbLogin::on_btnLogin_clicked()
{
    if (edit_name->text().isEmpty()) {
        showTip(tr("Please enter you Email!"));
        return;
    }
    if (edit_password->text().isEmpty()) {
        showTip(tr("Please enter you password!"));
        return;
    }
    lbl_status->setText(tr("login..."));
    m_name = edit_name->text();
    m_password = edit_password->text();
    m_signIn->start(m_name, m_password);
}

void vbLogin::on_btnRegister_clicked()
{
    QDesktopServices::openUrl(vbRequests::registerPageUrl(m_endpoints));
}

void vbLogin::on_btnGetPassword_clicked()
{
    QDesktopServices::openUrl(vbRequests::passwordPageUrl(m_endpoints));
}

void vbLogin::slot_signedIn(int userId, const QString& host)
{
    m_userId = userId;
    m_host = host;
    lbl_status->setText(tr("download photo list..."));
}

void vbLogin::slot_loginFailed()
{
    lbl_status->setText(tr("Login failed.Please check your E-mail and password!"));
}

void vbLogin::slot_albumsReceived(const AlbumList& albums)
{
    // A later answer of the other mirror must not change what the opener reads.
    m_signIn->cancel();
    m_albums = albums;
    lbl_status->setText(tr("login OK"));
    saveAccount();
    accept();
}

void vbLogin::slot_serviceFailed(vbServiceCall::Outcome outcome)
{
    lbl_status->setText(vbServiceCall::failureStatus(outcome));
    showTip(vbServiceCall::failureText(outcome));
}

void vbLogin::setAccountStore(vbAccountStore* accounts)
{
    m_accounts = accounts;
}

void vbLogin::saveAccount()
{
    // Without a store of the opener's, one on the settings file alone finishes before it goes.
    vbAccountStore fallback(QStringLiteral("system.ini"), nullptr);
    vbAccountStore* accounts = m_accounts ? m_accounts.data() : &fallback;
    if (m_autoLogin)
        accounts->save(m_name, m_password);
    else
        accounts->forget();
}

void vbLogin::showTip(const QString& text)
{
    vbMessageBox box(OkButton, tr("Tips"), text, this);
    box.exec();
}
