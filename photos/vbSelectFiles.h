#pragma once

#include "vbKitDialog.h"

#include <QFileInfo>
#include <QList>
#include <QPointer>

class QCheckBox;
class QLabel;
class vbFileList;
class vbPushButton;
class vbTitleBar;
class vbTreeView;

// Picks photos from the local disk: folder tree at the left, the chosen
// folder's JPEG photos with check boxes at the right. The folder of a confirmed
// choice is remembered in the settings and offered again next time.
class vbSelectFiles : public vbKitDialog
{
    Q_OBJECT
public:
    // uploadList: the list the photos go to; its photos count against the limit.
    explicit vbSelectFiles(QWidget* parent = nullptr, vbFileList* uploadList = nullptr);

    // The checked photos in row order (after exec() returned 1).
    QList<QFileInfo> checkedFileInfos() const;
    QString currentFolder() const { return m_currentFolder; }

    // The settings file that remembers the folder.
    static QString settingsPath();
    // "You select <n> files", in the user's language.
    static QString selectInfoText(int checked);

    // Form children
    vbTitleBar* widget;
    vbTreeView* treeView;
    QCheckBox* cbSelectAll;
    QLabel* lblSelectInfo;
    vbFileList* fileList;
    vbPushButton* btnOk;
    vbPushButton* btnCancel;

public slots:
    void slot_URLChanged(const QString& url);
    void slot_selectAll(int state);
    void slot_refreshAll();

protected slots:
    void slot_updateSelectInfo(int checked, int count);

private slots:
    void on_btnCancel_clicked();
    void on_btnOk_clicked();

private:
    void refuse(const QString& text);

    QString m_currentFolder;
    QPointer<vbFileList> m_uploadList;
};
