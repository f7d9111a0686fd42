#pragma once

#include <QByteArray>
#include <QString>

// Reads and writes single values of one INI settings file.
//
// Section and key names match without regard to case; every line that is not
// the one written is kept byte for byte; the file is created by the first
// write and always replaced atomically. Nothing is cached: each call reads
// the file again, so short-lived parsers on the stack see each other's writes.
// A null section or key reads as the default and writes nothing.
class vbIniParser
{
public:
    explicit vbIniParser(const QString& path);
    virtual ~vbIniParser();

    QString path() const { return m_path; }

    // The whole stored value, or def when the section or key is absent.
    QString getString(const QString& section, const QString& key, const QString& def = QString()) const;
    // Reads like a fixed buffer of capacity characters: dest receives at most
    // capacity - 1 characters; returns the smaller of capacity and the value's length.
    int getString(const QString& section, const QString& key, QString* dest, int capacity,
                  const QString& def = QString()) const;
    // "true" and "yes" (any case) and non-zero numbers are true; empty gives def.
    bool getBool(const QString& section, const QString& key, bool def) const;
    // The leading decimal number of the value (0 when there is none); empty gives def.
    double getDouble(const QString& section, const QString& key, double def) const;

    // False, and the file untouched, for a null name or a name or value holding a line break.
    bool setString(const QString& section, const QString& key, const QString& value);
    // Base 2 and 8 write the value's digits taken as unsigned, base 16 upper-case
    // hexadecimal without prefix, any other base signed decimal.
    bool setInt(const QString& section, const QString& key, qint64 value, int base = 10);
    bool setBool(const QString& section, const QString& key, bool value);
    // Removes every line of key in section; true when none is left (an absent key or file is no error).
    bool removeKey(const QString& section, const QString& key);

    // The text setInt writes for value in base (exposed for its table test).
    static QString formatInt(qint64 value, int base);

private:
    QByteArray readFile() const;

    QString m_path;
};
