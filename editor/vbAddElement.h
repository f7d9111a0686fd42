#pragma once

#include "vbEndpoints.h"
#include "vbKitDialog.h"
#include "vbUpdateDownloader.h"

#include <QFileDialog>
#include <QPointer>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class vbPushButton;
class vbTitleBar;

// The element library: one type per sub-folder of "Elements", its pictures
// shown as icons. A double click or OK hands the chosen picture's path to the
// editor. "Import" copies pictures into the current type (never over an
// existing one); "Update" fetches the service's newest set into a type named
// by today's date, with its progress shown in the dialog. The editor keeps the
// dialog and shows it again.
class vbAddElement : public vbKitDialog
{
    Q_OBJECT
public:
    // endpoints: where new element sets come from (the update FTP area).
    explicit vbAddElement(const vbEndpoints& endpoints, QWidget* parent = nullptr);

    // The library folder: "Elements" in the current folder.
    static QString libraryPath();

    // The file chooser, replaceable where no one can answer a modal dialog.
    using FilePicker = std::function<QStringList(QWidget* parent, const QString& caption,
                                                 const QString& folder, const QString& filter)>;
    void setFilePicker(FilePicker picker);

    // Whether an element download is running.
    bool isDownloading() const { return !m_download.isNull(); }

    // Reads the types again and shows the first.
    void refreshTypes();

    // Form children
    vbTitleBar* widget;
    QLabel* label;
    QComboBox* comboBox;
    vbPushButton* btnImport;
    vbPushButton* btnUpdate;
    QProgressBar* progressBar; // shown while a download runs
    QListWidget* listWidget;
    vbPushButton* btnOK;
    vbPushButton* btnCancel;

signals:
    void sig_addElement(const QString& path);

public slots:
    // Closing the dialog stops a running download.
    void done(int result) override;
    void slot_currentIndexChanged(int index);
    void slot_pressedItem(QListWidgetItem* item);
    void on_btnImport_clicked();
    void on_btnCancel_clicked();
    void on_btnOK_clicked();
    void on_btnUpdate_clicked();

private:
    void setupUi();
    void retranslateUi();
    void addPicture(const QString& path);
    void downloadEnded(vbUpdateDownloader::State state);

    vbEndpoints m_endpoints;
    FilePicker m_filePicker = [](QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) {
        return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
    };
    QPointer<vbUpdateDownloader> m_download;
    QString m_downloadFolder;
};
