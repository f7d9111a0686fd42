#pragma once

#include "vbKitDialog.h"
#include "vbServiceCall.h"

#include <QPointer>

class QDateEdit;
class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class vbPushButton;
class vbTitleBar;

// Creates an album of the signed-in account on the service. exec() returns 1
// once the service answered with the new album's id; failures stay in the
// dialog for another try or Cancel.
class vbNewAlbums : public vbKitDialog
{
    Q_OBJECT
public:
    // deadlineMs: how long the creation request may take.
    vbNewAlbums(const QString& baseAddress, int userId, QWidget* parent = nullptr,
                int deadlineMs = vbServiceCall::kDefaultDeadlineMs);
    ~vbNewAlbums() override;

    // The name and description as sent.
    QString name() const { return m_name; }
    QString description() const { return m_description; }
    int newAlbumId() const { return m_newAlbumId; }

private slots:
    void on_btnOK_clicked();
    void on_btnCancel_clicked();
    void slot_reply(vbServiceCall* call);

private:
    void setupUi();
    void retranslateUi();
    void showTip(const QString& text);

    vbTitleBar* title;
    QLabel* label;
    QLineEdit* edit_name;
    QLabel* label_3;
    QDateEdit* dateEdit;
    QLabel* label_2;
    QLineEdit* edit_desc;
    QLabel* lblStatus;
    vbPushButton* btnOK;
    vbPushButton* btnCancel;

    QString m_baseAddress;
    int m_userId;
    QString m_name;
    QString m_description;
    int m_newAlbumId = 0;
    int m_deadlineMs;
    QNetworkAccessManager* m_manager;
    QPointer<vbServiceCall> m_call;
};
