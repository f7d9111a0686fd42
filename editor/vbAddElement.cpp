#include "vbAddElement.h"

#include "KitButtonFlags.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

QString trForm(const char* text)
{
    return QCoreApplication::translate("vbAddElementClass", text);
}

vbPushButton* imageButton(QWidget* parent, const char* name, const char* image)
{
    auto* button = new vbPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(85, 25);
    button->setCursor(Qt::PointingHandCursor);
    const QString base = QStringLiteral(":/Resources/") + QLatin1String(image);
    button->setImages(base + QStringLiteral(".png"), base + QStringLiteral("_hover.png"));
    return button;
}

} // namespace

void vbAddElement::setFilePicker(FilePicker picker)
{
    m_filePicker = std::move(picker);
}

QString vbAddElement::libraryPath()
{
    return QDir::currentPath() + QStringLiteral("/Elements");
}

vbAddElement::vbAddElement(const vbEndpoints& endpoints, QWidget* parent)
    : vbKitDialog(parent, 1), m_endpoints(endpoints)
{
    setupUi();
    connect(widget, &vbTitleBar::Closed, this, &QDialog::accept);
    connect(comboBox, &QComboBox::currentIndexChanged, this, &vbAddElement::slot_currentIndexChanged);
    connect(listWidget, &QListWidget::itemDoubleClicked, this, &vbAddElement::slot_pressedItem);
    connect(btnImport, &vbPushButton::Clicked, this, &vbAddElement::on_btnImport_clicked);
    connect(btnUpdate, &vbPushButton::Clicked, this, &vbAddElement::on_btnUpdate_clicked);
    connect(btnOK, &vbPushButton::Clicked, this, &vbAddElement::on_btnOK_clicked);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbAddElement::on_btnCancel_clicked);
    refreshTypes();
}

void vbAddElement::setupUi()
{
    setObjectName(QStringLiteral("vbAddElement"));
    resize(465, 280);
    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setSpacing(4);
    verticalLayout->setContentsMargins(1, 1, 1, 5);

    widget = new vbTitleBar(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setFixedHeight(30);
    widget->setButtons(CloseButton);
    verticalLayout->addWidget(widget);

    auto* horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setContentsMargins(6, 2, 6, 2);
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    comboBox->setMinimumWidth(140);
    btnImport = imageButton(this, "btnImport", "import");
    btnUpdate = imageButton(this, "btnUpdate", "download");
    horizontalLayout_2->addWidget(label);
    horizontalLayout_2->addWidget(comboBox);
    horizontalLayout_2->addStretch();
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setFixedWidth(90);
    progressBar->hide();
    horizontalLayout_2->addWidget(progressBar);
    horizontalLayout_2->addWidget(btnImport);
    horizontalLayout_2->addWidget(btnUpdate);
    verticalLayout->addLayout(horizontalLayout_2);

    listWidget = new QListWidget(this);
    listWidget->setObjectName(QStringLiteral("listWidget"));
    listWidget->setViewMode(QListView::IconMode);
    listWidget->setIconSize(QSize(65, 65));
    listWidget->setMovement(QListView::Static);
    listWidget->setSpacing(2);
    listWidget->setResizeMode(QListView::Adjust);
    auto* listRow = new QHBoxLayout();
    listRow->setContentsMargins(6, 0, 6, 0);
    listRow->addWidget(listWidget);
    verticalLayout->addLayout(listRow, 1);

    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setContentsMargins(6, 0, 6, 0);
    btnOK = imageButton(this, "btnOK", "ok");
    btnCancel = imageButton(this, "btnCancel", "cancel");
    horizontalLayout->addStretch();
    horizontalLayout->addWidget(btnOK);
    horizontalLayout->addWidget(btnCancel);
    verticalLayout->addLayout(horizontalLayout);

    retranslateUi();
}

void vbAddElement::retranslateUi()
{
    setWindowTitle(trForm("add element"));
    setWhatsThis(trForm("add elements"));
    widget->setTitle(trForm("add elemnts"));
    label->setText(trForm("Type:"));
    btnImport->setText(trForm("Import"));
    btnUpdate->setText(trForm("Update"));
    btnOK->setText(trForm("Ok"));
    btnCancel->setText(trForm("Cancel"));
}

void vbAddElement::refreshTypes()
{
    listWidget->clear();
    const QSignalBlocker block(comboBox);
    comboBox->clear();
    const QDir library(libraryPath());
    if (library.exists())
        comboBox->addItems(library.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
    comboBox->setCurrentIndex(comboBox->count() > 0 ? 0 : -1);
    slot_currentIndexChanged(comboBox->currentIndex());
}

void vbAddElement::addPicture(const QString& path)
{
    auto* item = new QListWidgetItem();
    // A picture that cannot be read still gets an entry; its icon stays empty.
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && size.width() > 0 && size.height() > 0) {
        reader.setScaledSize(size.scaled(QSize(130, 130), Qt::KeepAspectRatio));
        item->setIcon(QIcon(QPixmap::fromImage(reader.read())));
    }
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(tr("Double click to add element"));
    item->setData(Qt::UserRole, QFileInfo(path).absoluteFilePath());
    listWidget->addItem(item);
}

void vbAddElement::slot_currentIndexChanged(int index)
{
    listWidget->clear();
    if (index < 0)
        return;
    const QDir folder(libraryPath() + QLatin1Char('/') + comboBox->itemText(index));
    const QStringList filters = {QStringLiteral("*.JPEG"), QStringLiteral("*.JPG"), QStringLiteral("*.BMP"),
                                 QStringLiteral("*.PNG")};
    const QStringList names = folder.entryList(filters, QDir::Files, QDir::Name);
    for (const QString& name : names)
        addPicture(folder.filePath(name));
}

void vbAddElement::slot_pressedItem(QListWidgetItem* item)
{
    if (!item)
        return;
    emit sig_addElement(item->data(Qt::UserRole).toString());
    accept();
}

void vbAddElement::on_btnOK_clicked()
{
    if (QListWidgetItem* item = listWidget->currentItem())
        slot_pressedItem(item);
}

void vbAddElement::on_btnCancel_clicked()
{
    reject();
}

void vbAddElement::on_btnImport_clicked()
{
    if (comboBox->currentIndex() < 0)
        return;
    const QString folder = libraryPath() + QLatin1Char('/') + comboBox->currentText() + QLatin1Char('/');
    const QStringList files =
        m_filePicker(this, tr("Import elements"), folder, QStringLiteral("*.png *.jpg *.jpeg *.bmp"));
    for (const QString& file : files) {
        const QString target = folder + QFileInfo(file).fileName();
        // QFile::copy never overwrites: a picture of that name stays as it is.
        if (QFile::copy(file, target))
            addPicture(target);
    }
}

void vbAddElement::on_btnUpdate_clicked()
{
    if (m_download)
        return;
    const QString date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QDir(libraryPath()).mkpath(date);
    m_downloadFolder = date;
    m_download = new vbUpdateDownloader(QStringLiteral("element"), libraryPath() + QLatin1Char('/') + date,
                                        m_endpoints, this);
    connect(m_download, &vbUpdateDownloader::sig_progress, this, [this](qint64 done, qint64 total) {
        progressBar->setValue(total > 0 ? int(done * 100 / total) : 0);
    });
    connect(m_download, &vbUpdateDownloader::sig_stateChanged, this, &vbAddElement::downloadEnded);
    btnUpdate->setEnabled(false);
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->show();
    m_download->start();
}

void vbAddElement::downloadEnded(vbUpdateDownloader::State state)
{
    if (!m_download || !m_download->isFinished())
        return;
    m_download->deleteLater();
    m_download = nullptr;
    progressBar->hide();
    btnUpdate->setEnabled(true);
    // An empty folder is no type: it goes again, whatever the download did.
    QDir(libraryPath()).rmdir(m_downloadFolder);
    if (state == vbUpdateDownloader::Failed) {
        auto* box = new vbMessageBox(OkButton, tr("Tips"), tr("Download failed!"), this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    } else if (state != vbUpdateDownloader::Cancelled) {
        refreshTypes();
    }
}

void vbAddElement::done(int result)
{
    if (m_download)
        m_download->cancel();
    vbKitDialog::done(result);
}
