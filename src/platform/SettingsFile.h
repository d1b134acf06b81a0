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

    const QString& FileName() const { return fileName_; }
    bool Exists() const;

    QString ReadString(const char* section, const char* key, const QString& defaultValue) const;
    int ReadInteger(const char* section, const char* key, int defaultValue) const;
    bool ReadBool(const char* section, const char* key, bool defaultValue) const;

    // False, and nothing written, for a value the file cannot hold (see CanHold).
    bool WriteString(const char* section, const char* key, const QString& value);
    void WriteInteger(const char* section, const char* key, int value);
    void WriteBool(const char* section, const char* key, bool value);

    // A value holds no line end and no NUL: either would end its line, and what follows would
    // read as lines, keys and sections of their own.
    static bool CanHold(const QString& value);

    // Called with the file name when the file cannot be written; the program goes on.
    void SetWriteFailureHandler(std::function<void(const QString&)> handler);

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
    void ReloadIfChanged() const;
    void Save();

    QString fileName_;
    std::unique_ptr<State> state_;
    std::function<void(const QString&)> writeFailed_;
    int batchDepth_ = 0;
    bool unsaved_ = false;
};

// Integer and boolean reading of a stored value; empty optional-like results use the default.
int ParseSettingsInteger(const QString& text, int defaultValue);
