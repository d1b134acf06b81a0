#pragma once

#include <QString>

#include <functional>
#include <memory>

// The program's settings file: an INI file with case-insensitive sections and keys. Every read
// takes a default; a missing file or key yields it. Integers are decimal ("0x" followed by hex
// digits reads as hexadecimal), booleans are the integers 1 and 0. Every write is saved at once
// and atomically; lines the program does not know stay as they are.
class SettingsFile {
  public:
    explicit SettingsFile(const QString& fileName);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const QString& fileName() const { return fileName_; }
    bool exists() const;

    QString readString(const char* section, const char* key, const QString& defaultValue) const;
    int readInteger(const char* section, const char* key, int defaultValue) const;
    bool readBool(const char* section, const char* key, bool defaultValue) const;

    // False, and nothing written, for a value the file cannot hold (see CanHold).
    bool writeString(const char* section, const char* key, const QString& value);
    void writeInteger(const char* section, const char* key, int value);
    void writeBool(const char* section, const char* key, bool value);

    // A value holds no line end and no NUL: either would end its line, and what follows would
    // read as lines, keys and sections of their own.
    static bool canHold(const QString& value);

    // Called with the file name when the file cannot be written; the program goes on.
    void setWriteFailureHandler(std::function<void(const QString&)> handler);

    // Holds back saving while many keys are written; saves once when the last batch ends.
    class Batch {
      public:
        explicit Batch(SettingsFile& file);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        SettingsFile& file_;
    };

  private:
    struct State;
    void reloadIfChanged() const;
    void save();

    QString fileName_;
    std::unique_ptr<State> state_;
    std::function<void(const QString&)> writeFailed_;
    int batchDepth_ = 0;
    bool unsaved_ = false;
};

// Integer and boolean reading of a stored value; empty optional-like results use the default.
int parseSettingsInteger(const QString& text, int defaultValue);
