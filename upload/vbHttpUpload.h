#pragma once

#include "vbBaseUpload.h"

// Sends one photo file as a hand-written multipart POST over a plain socket
// to the account's host and judges the answer by the upload acknowledgement.
class vbHttpUpload : public vbBaseUpload
{
    Q_OBJECT
public:
    // key: the 64-character key followed by the JSESSIONID value.
    vbHttpUpload(const QString& host, int port, const QString& user, const QString& key,
                 const QString& albumId, const vbNetDeadlines& deadlines = vbNetDeadlines());
    ~vbHttpUpload() override;

    QString key() const { return m_key; }
    QString jsessionid() const { return m_jsessionid; }

    // The largest piece written to the socket at once; progress follows each.
    static constexpr int kChunkSize = 8194;

protected:
    void run() override;
    bool filesPresent(const vbUploadFiles& files) const override;

private:
    QByteArray buildRequest(const QByteArray& fileData) const;

    QString m_jsessionid;
    QString m_key;
};
