#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

class QApplication;
class QTranslator;

// The updater program: asks the service for the latest version, offers the
// download when it is newer than the stored one, records it, then starts the
// main program from the current folder and waits for it. Everything is
// relative to the current folder (the program folder).
class vbUpdaterApp
{
    Q_DECLARE_TR_FUNCTIONS(vbUpdaterApp)
public:
    vbUpdaterApp();

    // Palette and the updater's translation, in the language both programs choose alike.
    static void setupApplication(QApplication& app, QTranslator* translator);

    // Runs the check, the question, the download and the main program; always 0.
    int run();

    // The steps of run(), for tests.
    // The latest version the service announces; nothing when it cannot be asked.
    std::optional<float> queryLatestVersion();
    // Asks, downloads on OK, then stores latest whatever the answer.
    void offerUpdate(float latest);
    // Starts the main program and waits for it; false when it could not run.
    bool startMainProgram();

    // The request sent to hostWithPort, byte for byte.
    static QByteArray versionRequest(const QString& hostWithPort);
    // The number in the three characters after the header end (0 when they
    // are no number); nothing when the answer has no header end.
    static std::optional<float> parseVersionAnswer(const QByteArray& received);
    // "pixelvane", or "pixelvane.exe" on Windows.
    static QString mainProgramName();
    // How long the version answer is waited for.
    static int receiveTimeoutMs() { return 5000; }

    static QString settingsPath() { return QStringLiteral("system.ini"); }
};
