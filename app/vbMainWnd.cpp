#include "vbMainWnd.h"

#include "KitButtonFlags.h"
#include "_loadThread.h"
#include "vbAccountStore.h"
#include "vbAlbumRecord.h"
#include "vbCavas.h"
#include "vbClickLabel.h"
#include "vbEndpoints.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbFullScreen.h"
#include "vbKitStyle.h"
#include "vbLanguage.h"
#include "vbLogin.h"
#include "vbLogs.h"
#include "vbMessageBox.h"
#include "vbNewAlbums.h"
#include "vbPhotoInfo.h"
#include "vbPlayer.h"
#include "vbProbe.h"
#include "vbPushButton.h"
#include "vbRequests.h"
#include "vbSession.h"
#include "vbShowImage.h"
#include "vbSignIn.h"
#include "vbStatusBar.h"
#include "vbToolPanel.h"
#include "vbUploadDialogs.h"
#include "vbUploadQueue.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QString systemIni()
{
    return QStringLiteral("system.ini");
}
} // namespace

vbMainWnd::vbMainWnd(QWidget* parent, int serviceDeadlineMs)
    : vbMainWnd(static_cast<vbCredentialStore*>(nullptr), parent, serviceDeadlineMs)
{}

vbMainWnd::vbMainWnd(vbCredentialStore* credentials, QWidget* parent, int serviceDeadlineMs)
    : QMainWindow(parent), m_session(new vbSession(vbEndpoints::load(systemIni()), this)),
      m_accounts(new vbAccountStore(systemIni(), credentials, this)), m_serviceDeadlineMs(serviceDeadlineMs)
{
    buildForm();
    connectForm();
    buildTray();

    m_uploadQueue->restorePending();
    m_uploadQueue->loadLog();
    // Tiles mark photos that the log records as uploaded.
    m_fileList->setUploadedLookup([queue = QPointer<vbUploadQueue>(m_uploadQueue)](const QString& path) {
        return queue && queue->uploadedFiles().contains(path);
    });

    startAutomaticSignIn();

    auto* probe = new vbProbe(m_session->endpoints(), this);
    probe->setSession(m_session);
    probe->setDeadlineMs(m_serviceDeadlineMs);
    probe->start();
}

vbMainWnd::~vbMainWnd()
{
    // The queue asks its questions through m_uploadDialogs: it goes first.
    delete m_uploadQueue;
    m_uploadQueue = nullptr;
    m_fileList->loadThread()->clear();
    if (m_trayIcon)
        m_trayIcon->hide();
}

void vbMainWnd::buildForm()
{
    setObjectName(QStringLiteral("vbMainWnd"));
    resize(800, 550);
    setWindowFlags(Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    setWindowTitle(tr("velbrook"));
    setWindowIcon(vbKit::appIcon());

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralwidget"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->setAlignment(Qt::AlignTop);

    m_toolPanel = new vbToolPanel(this);
    m_toolPanel->label->hide();
    m_toolPanel->comboBox->hide();
    m_toolPanel->lblCreate->hide();
    m_fileList = new vbFileList(central, true);
    m_fileList->setSession(m_session);
    m_statusBar = new vbStatusBar(central);
    layout->addWidget(m_toolPanel);
    layout->addWidget(m_fileList);
    layout->addWidget(m_statusBar);
    setCentralWidget(central);

    m_uploadDialogs = std::make_unique<vbUploadDialogs>(m_session->endpoints(), this);
    m_uploadQueue =
        new vbUploadQueue(m_session, m_fileList, m_uploadDialogs.get(), vbUploadQueue::realFtpCalls(), this);
    connectUploadQueue();
}

void vbMainWnd::connectUploadQueue()
{
    connect(m_session, &vbSession::uploadingChanged, this, &vbMainWnd::showUploading);
    connect(m_uploadQueue, &vbUploadQueue::sig_statusText, this, &vbMainWnd::setStatusText);
    connect(m_uploadQueue, &vbUploadQueue::sig_statusNotice, this, &vbMainWnd::setStatusNotice);
    connect(m_uploadQueue, &vbUploadQueue::sig_runEnded, this, [this](int photosLeft, bool finished) {
        if (!finished) {
            showPhotoCount(photosLeft);
            return;
        }
        m_toolPanel->lblSelectCount->clear();
        // The batch removal sends no count: "Remove All" must not stay on an empty list.
        m_statusBar->lblDeleteAll->setVisible(photosLeft > 0);
    });
    // The model also reports the batch removals that the list keeps quiet about.
    const auto changed = [queue = m_uploadQueue] { queue->listChanged(); };
    connect(m_fileList->model(), &QAbstractItemModel::rowsInserted, m_uploadQueue, changed);
    connect(m_fileList->model(), &QAbstractItemModel::rowsRemoved, m_uploadQueue, changed);
    connect(m_fileList->model(), &QAbstractItemModel::modelReset, m_uploadQueue, changed);
    connect(m_fileList, &vbFileList::sig_photoFileChanged, m_uploadQueue, changed);
}

void vbMainWnd::showUploading(bool uploading)
{
    setStatusText(uploading ? vbUploadQueue::tr("Uploading...") : vbUploadQueue::tr("StandBy"));
    if (uploading)
        m_statusBar->btnUpload->setImages(QStringLiteral(":/Resources/cancelUpload.png"),
                                          QStringLiteral(":/Resources/cancelUpload_hover.png"));
    else
        m_statusBar->btnUpload->setImages(QStringLiteral(":/Resources/upload.png"),
                                          QStringLiteral(":/Resources/upload_hover.png"));
    const QList<QWidget*> widgets{
        m_toolPanel->comboBox,  m_toolPanel->btnHelp,       m_toolPanel->btnRegister,
        m_toolPanel->btnTask,   m_toolPanel->btnSelectFile, m_toolPanel->btnLogin,
        m_toolPanel->lblCreate, m_toolPanel->btnViewMode,   m_statusBar->lblDeleteAll};
    for (QWidget* widget : widgets)
        widget->setEnabled(!uploading);
}

void vbMainWnd::connectForm()
{
    connect(m_toolPanel->btnSelectFile, &vbPushButton::Clicked, this, &vbMainWnd::slot_selectFiles);
    connect(m_toolPanel->btnLogin, &vbPushButton::Clicked, this, &vbMainWnd::slot_loggedIn);
    connect(m_statusBar->btnUpload, &vbPushButton::Clicked, this, &vbMainWnd::slot_uploadFiles);
    connect(m_statusBar->btnClose, &vbPushButton::Clicked, this, &vbMainWnd::slot_Hide);
    connect(m_statusBar->lblDeleteAll, &vbClickLabel::Clicked, this, &vbMainWnd::slot_DeleteAll);
    connect(m_toolPanel, &vbToolPanel::showMax, this, qOverload<bool>(&vbMainWnd::slot_showMax));
    connect(m_toolPanel->comboBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &vbMainWnd::slot_photoListChanged);
    connect(m_toolPanel->lblCreate, &vbClickLabel::Clicked, this, &vbMainWnd::slot_createAlbums);
    connect(m_toolPanel->btnClose, &vbPushButton::Clicked, this, &vbMainWnd::slot_Hide);
    connect(m_toolPanel->actionSmallIcon(), &QAction::triggered, this, &vbMainWnd::slot_iconMode);
    connect(m_toolPanel->actionBigIcon(), &QAction::triggered, this, &vbMainWnd::slot_bigIconMode);
    connect(m_toolPanel->actionList(), &QAction::triggered, this, &vbMainWnd::slot_listMode);
    connect(m_toolPanel->actionPlay(), &QAction::triggered, this, &vbMainWnd::slot_playMode);
    connect(m_fileList, &vbFileList::sig_editNode, this, &vbMainWnd::slot_editNode);
    connect(m_fileList, &vbFileList::sig_countChanged, this, &vbMainWnd::slot_selectPhotoChanged);
    connect(m_toolPanel->lblLogo, &vbClickLabel::Clicked, this, &vbMainWnd::slot_ClickLogo);
    connect(m_toolPanel->btnRegister, &vbPushButton::Clicked, this, &vbMainWnd::slot_Register);
    connect(m_toolPanel->btnHelp, &vbPushButton::Clicked, this, &vbMainWnd::slot_Help);
    connect(m_toolPanel->btnTask, &vbPushButton::Clicked, this, &vbMainWnd::slot_OpenTask);

    // The tiles ask for the viewers through the list.
    connect(m_fileList, &vbFileList::sig_showInfo, this, &vbMainWnd::showPhotoInfo);
    connect(m_fileList, &vbFileList::sig_fullScreen, this, &vbMainWnd::showFullScreen);
    connect(m_fileList, &vbFileList::sig_hoverPreview, this, &vbMainWnd::showPreview);
    connect(m_fileList, &vbFileList::sig_hoverEnded, this, &vbMainWnd::hidePreview);
}

void vbMainWnd::buildTray()
{
    m_actMinimize = new QAction(tr("Minimize"), this);
    m_actMaximize = new QAction(tr("Maximize"), this);
    m_actRestore = new QAction(tr("Restore"), this);
    m_actQuit = new QAction(tr("Quit"), this);
    connect(m_actMinimize, &QAction::triggered, this, &vbMainWnd::slot_Hide);
    connect(m_actMaximize, &QAction::triggered, this, qOverload<>(&vbMainWnd::slot_showMax));
    connect(m_actRestore, &QAction::triggered, this, &vbMainWnd::slot_showNormal);
    connect(m_actQuit, &QAction::triggered, this, &vbMainWnd::slot_Close);

    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_actMinimize);
    m_trayMenu->addAction(m_actMaximize);
    m_trayMenu->addAction(m_actRestore);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_actQuit);

    m_trayIcon = new QSystemTrayIcon(this);
    m_trayIcon->setContextMenu(m_trayMenu);
    m_trayIcon->setIcon(QIcon(QStringLiteral(":/Resources/smallLogo.png")));
    m_trayIcon->setToolTip(tr("velbrook"));
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &vbMainWnd::slot_iconActivated);
    m_trayIcon->show();

    m_accountMenu = new QMenu(this);
    m_accountMenu->setObjectName(QStringLiteral("accountMenu"));
    connect(m_accountMenu->addAction(tr("Sign out")), &QAction::triggered, this, &vbMainWnd::slot_signOut);
    connect(m_accountMenu->addAction(tr("Sign in as someone else")), &QAction::triggered, this,
            &vbMainWnd::signInWithDialog);
}

int vbMainWnd::messageBox(int flags, const QString& text)
{
    vbMessageBox box(flags, tr("Tips"), text, this);
    return box.exec();
}

void vbMainWnd::setStatusText(const QString& text)
{
    m_statusText = text;
    m_statusBar->lblStatus->setText(m_statusNotice.isEmpty() ? text
                                                             : text + QStringLiteral("  ") + m_statusNotice);
}

void vbMainWnd::setStatusNotice(const QString& notice)
{
    m_statusNotice = notice;
    setStatusText(m_statusText);
}

QString vbMainWnd::statusText() const
{
    return m_statusBar->lblStatus->text();
}

// ---- window size and the tray ----

void vbMainWnd::slot_Hide()
{
    m_maximised = false;
    if (!m_normalGeometry.isValid())
        m_normalGeometry = geometry();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Without a tray a hidden window could never be reached again.
        showMinimized();
        return;
    }
    m_trayIcon->showMessage(tr("Tips"), tr("velbrook is run here!"), QSystemTrayIcon::Information, 2000);
    hide();
}

void vbMainWnd::slot_showMax(bool maximise)
{
    if (maximise) {
        m_maximised = true;
        if (!m_normalGeometry.isValid())
            m_normalGeometry = geometry();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        setGeometry(QRect(QPoint(0, 0), area.size()));
    } else {
        if (m_normalGeometry.isValid())
            setGeometry(m_normalGeometry);
        m_maximised = false;
    }
}

void vbMainWnd::slot_showMax()
{
    show();
    slot_showMax(true);
}

void vbMainWnd::slot_showNormal()
{
    m_maximised = false;
    show();
    if (isMinimized())
        showNormal();
    if (m_normalGeometry.isValid())
        setGeometry(m_normalGeometry);
}

void vbMainWnd::slot_iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        slot_showNormal();
}

// ---- view modes ----

void vbMainWnd::setViewModeChecked(vbViewMode mode)
{
    m_toolPanel->actionList()->setChecked(mode == vbViewMode::List);
    m_toolPanel->actionSmallIcon()->setChecked(mode == vbViewMode::SmallIcons);
    m_toolPanel->actionBigIcon()->setChecked(mode == vbViewMode::BigIcons);
}

void vbMainWnd::slot_iconMode(bool)
{
    // A checkable action unticks itself when chosen again: keep the tick.
    if (m_fileList->viewMode() != vbViewMode::SmallIcons)
        m_fileList->setViewMode(vbViewMode::SmallIcons);
    setViewModeChecked(vbViewMode::SmallIcons);
}

void vbMainWnd::slot_bigIconMode(bool)
{
    // A checkable action unticks itself when chosen again: keep the tick.
    if (m_fileList->viewMode() != vbViewMode::BigIcons)
        m_fileList->setViewMode(vbViewMode::BigIcons);
    setViewModeChecked(vbViewMode::BigIcons);
}

void vbMainWnd::slot_listMode(bool)
{
    // A checkable action unticks itself when chosen again: keep the tick.
    if (m_fileList->viewMode() != vbViewMode::List)
        m_fileList->setViewMode(vbViewMode::List);
    setViewModeChecked(vbViewMode::List);
}

void vbMainWnd::slot_playMode(bool)
{
    slot_playPhoto();
}

void vbMainWnd::slot_playPhoto()
{
    if (m_fileList->count() == 0)
        return;
    QList<QPointer<vbFileNode>> nodes;
    m_fileList->allNodes(nodes);
    QList<vbFileNode*> photos;
    for (const QPointer<vbFileNode>& node : std::as_const(nodes))
        photos.append(node.data());
    vbPlayer player(photos, this);
    player.exec();
}

// ---- photos ----

void vbMainWnd::slot_selectPhotoChanged(int count)
{
    showPhotoCount(count);
}

void vbMainWnd::showPhotoCount(int count)
{
    if (count == 0) {
        m_toolPanel->lblSelectCount->setText(tr("You have no select photo!"));
        m_statusBar->lblDeleteAll->hide();
    } else {
        m_toolPanel->lblSelectCount->setText(photoCountText(count));
        m_statusBar->lblDeleteAll->show();
    }
}

QString vbMainWnd::photoCountText(int count)
{
    // The pieces keep the Chinese sentence as it always read; English words it with a plural.
    return vbLanguage::compose(tr("%1%n%2", "You select <count> Photos", count),
                               {tr("You select "), tr("Photos")});
}

void vbMainWnd::slot_DeleteAll()
{
    if (m_fileList->count() == 0)
        return;
    if (messageBox(OkButton | CancelButton, tr("Do you want clear all photo?")) == 1)
        m_fileList->clearAll();
}

void vbMainWnd::slot_selectFiles()
{
    if (m_fileList->count() >= vbFileList::kMaxPhotos) {
        messageBox(OkButton, tr("You can not select more then 300 photos!"));
        return;
    }
    const int room =
        m_session->currentAlbum() < 0 ? 0 : vbFileList::kMaxAlbumPhotos - m_session->currentAlbumPhotoCount();
    if (m_fileList->count() <= room)
        m_fileList->slot_selectFiles();
    else
        messageBox(OkButton, tr("Because one album just 500 photo,please remove some photo"));
}

void vbMainWnd::slot_editNode(vbFileNode* node, bool remove)
{
    if (!node || m_session->isUploading())
        return;
    if (remove) {
        m_fileList->removeNode(node);
        return;
    }
    vbCavas editor(node, this);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    editor.setGeometry(QRect(QPoint(0, 0), area.size()));
    editor.exec();
}

void vbMainWnd::showPhotoInfo(vbFileNode* node)
{
    if (!node || m_session->isUploading())
        return;
    vbPhotoInfo info(this);
    info.setNode(node);
    info.exec();
}

void vbMainWnd::showFullScreen(vbFileNode* node)
{
    if (!node || m_session->isUploading())
        return;
    QPointer<vbFileNode> guard(node);
    {
        vbFullScreen view(this);
        view.setImagePath(node->absoluteFilePath());
        view.exec();
    }
    if (guard)
        guard->clearBigImage();
}

void vbMainWnd::showPreview(vbFileNode* node, const QRect& tileRect)
{
    if (!m_preview) {
        m_preview = new vbShowImage(m_fileList);
        m_preview->raise();
    }
    m_preview->showFor(node, tileRect);
}

void vbMainWnd::hidePreview()
{
    if (m_preview)
        m_preview->hideNow();
}

void vbMainWnd::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        m_fileList->pasteFiles();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---- sign-in and albums ----

void vbMainWnd::startAutomaticSignIn()
{
    m_signIn = new vbSignIn(m_session->endpoints(), QStringLiteral("http"), this);
    m_signIn->setSession(m_session);
    m_signIn->setDeadlineMs(m_serviceDeadlineMs);
    connect(m_signIn, &vbSignIn::sig_signedIn, this, [this](int userId) {
        m_session->setPreferredAlbum(m_accounts->lastAlbum(userId));
        showSignedIn();
    });
    connect(m_signIn, &vbSignIn::sig_loginFailed, this,
            [this] { setStatusText(vbSignIn::loginFailedText()); });
    connect(m_signIn, &vbSignIn::sig_albumsRequested, this,
            [this] { setStatusText(tr("get photo albums...")); });
    connect(m_signIn, &vbSignIn::sig_albumsReceived, this, [this] {
        refillAlbums();
        setStatusText(tr("logged in"));
    });
    // Queued: the message box must not run inside the network handler.
    connect(
        m_signIn, &vbSignIn::sig_serviceFailed, this,
        [this](vbServiceCall::Outcome outcome) { offerRetry(outcome, false); }, Qt::QueuedConnection);
    connect(
        m_signIn, &vbSignIn::sig_albumsFailed, this,
        [this](vbServiceCall::Outcome outcome) { offerRetry(outcome, true); }, Qt::QueuedConnection);

    // The credential store may answer later, when the user may have signed in or out by hand.
    m_accounts->load(this, [this](const QString& name, const QString& password) {
        if (m_accountChosenByHand)
            return;
        m_session->setAccount(name, password);
        if (name.isEmpty() || password.isEmpty())
            return;
        setStatusText(tr("login..."));
        m_signIn->start(name, password);
    });
}

void vbMainWnd::offerRetry(vbServiceCall::Outcome outcome, bool albums)
{
    setStatusText(vbServiceCall::failureStatus(outcome));
    if (messageBox(OkButton | CancelButton,
                   vbServiceCall::failureText(outcome) + QLatin1Char('\n') + tr("Try again now?")) != 1)
        return;
    // The dialog may have signed in meanwhile, or another attempt be under way.
    if (m_signIn->isBusy())
        return;
    if (albums) {
        if (m_session->baseAddress() == m_signIn->baseAddress())
            m_signIn->retryAlbums();
    } else if (!m_session->isLoggedIn() && m_signIn->start(m_session->userName(), m_session->password())) {
        setStatusText(tr("login..."));
    }
}

void vbMainWnd::showSignedIn()
{
    m_toolPanel->lblLoginInfo->setText(tr("Welcome") + m_session->userName());
    m_toolPanel->label->show();
    m_toolPanel->comboBox->show();
    m_toolPanel->lblCreate->show();
}

void vbMainWnd::refillAlbums()
{
    QComboBox* box = m_toolPanel->comboBox;
    {
        const QSignalBlocker blocker(box);
        box->clear();
        for (const AlbumRecord& album : m_session->albums())
            box->addItem(album.name);
    }
    // The session keeps the album chosen before, if the new list still has it.
    if (box->count() > 0) {
        const int index = qMax(0, m_session->currentAlbum());
        box->setCurrentIndex(index);
        slot_photoListChanged(index);
    } else {
        m_session->setCurrentAlbum(-1);
    }
}

void vbMainWnd::slot_photoListChanged(int index)
{
    m_session->setCurrentAlbum(index);
    // Remembered for this account's next sign-in.
    if (m_session->isLoggedIn() && index >= 0 && index < m_session->albums().size())
        m_accounts->setLastAlbum(m_session->userId(), m_session->albums().at(index).id);
}

void vbMainWnd::slot_loggedIn()
{
    if (m_session->isLoggedIn()) {
        m_accountMenu->popup(m_toolPanel->btnLogin->mapToGlobal(QPoint(0, m_toolPanel->btnLogin->height())));
        return;
    }
    signInWithDialog();
}

void vbMainWnd::slot_signOut()
{
    if (m_session->isUploading())
        return;
    m_accountChosenByHand = true;
    m_signIn->cancel();
    m_session->signOut();
    m_accounts->forget();
    {
        const QSignalBlocker blocker(m_toolPanel->comboBox);
        m_toolPanel->comboBox->clear();
    }
    m_toolPanel->label->hide();
    m_toolPanel->comboBox->hide();
    m_toolPanel->lblCreate->hide();
    m_toolPanel->lblLoginInfo->clear();
    setStatusText(tr("signed out"));
}

void vbMainWnd::signInWithDialog()
{
    vbLogin login(m_session->endpoints(), this, m_serviceDeadlineMs);
    login.setAccountStore(m_accounts);
    if (login.exec() != QDialog::Accepted)
        return;
    // The dialog's sign-in replaces the whole session; an automatic one still
    // under way must not overwrite it afterwards.
    m_accountChosenByHand = true;
    m_signIn->cancel();
    m_session->signIn(login.userId(), login.name(), login.password(), login.host(), QStringLiteral("Http"));
    // The album choice of whoever was signed in before does not carry over.
    m_session->setAlbums(AlbumList());
    m_session->setPreferredAlbum(m_accounts->lastAlbum(login.userId()));
    m_session->setAlbums(login.albums());
    showSignedIn();
    refillAlbums();
    setStatusText(tr("logged in"));
}

void vbMainWnd::slot_createAlbums()
{
    if (m_session->isUploading())
        return;
    if (!m_session->isLoggedIn()) {
        messageBox(OkButton, tr("Please login!"));
        return;
    }
    vbNewAlbums dialog(m_session->baseAddress(), m_session->userId(), this, m_serviceDeadlineMs);
    if (dialog.exec() != 1)
        return;
    m_session->appendAlbum(AlbumRecord{dialog.name(), dialog.newAlbumId(), 0});
    QComboBox* box = m_toolPanel->comboBox;
    box->addItem(dialog.name());
    box->setCurrentIndex(box->count() - 1);
    slot_photoListChanged(box->count() - 1);
}

// ---- pages, log viewer, upload ----

void vbMainWnd::slot_ClickLogo()
{
    QDesktopServices::openUrl(vbRequests::homePageUrl(m_session->endpoints()));
}

void vbMainWnd::slot_Register()
{
    QDesktopServices::openUrl(vbRequests::registerPageUrl(m_session->endpoints()));
}

void vbMainWnd::slot_Help()
{
    QDesktopServices::openUrl(vbRequests::helpPageUrl(m_session->endpoints()));
}

void vbMainWnd::slot_OpenTask()
{
    auto* logs = new vbLogs(this);
    logs->setRecords(m_uploadQueue->logRecords());
    logs->exec();
    const QStringList again = logs->reUploadList();
    delete logs;
    if (!again.isEmpty())
        m_fileList->addPaths(again);
}

void vbMainWnd::slot_uploadFiles()
{
    m_uploadQueue->startUpload();
}

void vbMainWnd::slot_Close()
{
    // The user may still say no to quitting; then the window stays as it is.
    if (!m_uploadQueue->closeDown())
        return;
    m_fileList->loadThread()->clear();
    const QScopedValueRollback<bool> quitting(m_quitting, true);
    close();
    QCoreApplication::quit();
}

void vbMainWnd::closeEvent(QCloseEvent* event)
{
    if (m_quitting) {
        event->accept();
        return;
    }
    event->ignore();
    slot_Hide();
}
