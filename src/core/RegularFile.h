#pragma once

#include <QString>

// A file opened for reading only when it is a regular file once links are followed. A pipe,
// a device or a folder is never opened: it could hold the reader up or feed it without end.
class RegularFile {
  public:
    enum class Opened { Yes, CannotOpen, NotRegular };

    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    Opened open(const QString& fileName);
    // Opens an entry of the directory open as `directory`. An entry the directory listed as a
    // regular file is opened without following a link, so it is still no link when opened;
    // any other entry is tested behind its links first.
    Opened openEntry(int directory, const char* name, bool listedAsRegular);
    // The size when it was opened.
    qint64 size() const { return size_; }
    // Reads up to count bytes; fewer only at the end of the file. -1 on a read error.
    qint64 read(char* into, qint64 count);
    // One read of up to count bytes, saving Read's last call at the end: a regular file gives
    // fewer bytes than asked only at its end (as it is at that moment). -1 on a read error.
    qint64 readOnce(char* into, qint64 count);

  private:
    Opened testOpened(); // the file just opened, tested again now that it is open

    int descriptor_ = -1;
    qint64 size_ = 0;
};

// Whether the name stands for something that exists but is not a regular file (links
// followed): a pipe, a device, a socket or a folder.
bool isNonRegularFile(const QString& fileName);
