#pragma once

#include "vbKitDialog.h"

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class vbPushButton;
class vbTitleBar;

// The element library: one type per sub-folder of "Elements", its pictures
// shown as icons. A double click or OK hands the chosen picture's path to the
// editor. "Import" copies pictures into the current type (never over an
// existing one); "Update" fetches the service's newest set into a type named
// by today's date. The editor keeps the dialog and shows it again.
class vbAddElement : public vbKitDialog
{
    Q_OBJECT
public:
    explicit vbAddElement(QWidget* parent = nullptr);

    // The library folder: "Elements" in the current folder.
    static QString libraryPath();

    // The file chooser and the download, replaceable where no one can answer
    // a modal dialog. The download returns the dialog's result (1 accepted).
    using FilePicker = std::function<QStringList(QWidget* parent, const QString& caption,
                                                 const QString& folder, const QString& filter)>;
    using Downloader =
        std::function<int(const QString& remoteFolder, const QString& targetFolder, QWidget* parent)>;
    static void setFilePicker(FilePicker picker);
    static void setDownloader(Downloader downloader);

    // Reads the types again and shows the first.
    void refreshTypes();

    // Form children
    vbTitleBar* widget;
    QLabel* label;
    QComboBox* comboBox;
    vbPushButton* btnImport;
    vbPushButton* btnUpdate;
    QListWidget* listWidget;
    vbPushButton* btnOK;
    vbPushButton* btnCancel;

signals:
    void sig_addElement(const QString& path);

public slots:
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
};
