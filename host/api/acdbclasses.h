// The few database classes the plug-ins use to make a layer. They are thin
// facades over the same layer table that acdbTblNext and acdbEntGet see.
#pragma once

#include "ads.h"

namespace Acad {
enum ErrorStatus {
    eOk = 0,
    eNotImplementedYet = 1,
    eInvalidInput = 3,
    eKeyNotFound = 21,
    eDuplicateRecordName = 89,
    eNoDatabase = 111,
    eLockViolation = 137,
};
}
namespace AcDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };
}

class HOST_API AcCmColor {
public:
    Acad::ErrorStatus setColorIndex(unsigned short index);
    unsigned short colorIndex() const { return index_; }

private:
    unsigned short index_ = 7;
};

class HOST_API AcDbLayerTableRecord {
public:
    AcDbLayerTableRecord();
    ~AcDbLayerTableRecord();
    Acad::ErrorStatus setName(const char* name);
    const char* name() const { return name_; }
    void setIsFrozen(bool frozen) { frozen_ = frozen; }
    void setIsOff(bool off) { off_ = off; }
    void setIsLocked(bool locked) { locked_ = locked; }
    void setColor(const AcCmColor& colour) { colour_ = colour; }
    bool isFrozen() const { return frozen_; }
    bool isOff() const { return off_; }
    bool isLocked() const { return locked_; }
    AcCmColor color() const { return colour_; }
    // Closes the record; a record added to a table is then released by the
    // database, one that was not stays the caller's to delete.
    Acad::ErrorStatus close();

private:
    friend class AcDbLayerTable;
    char name_[256] = {0};
    bool frozen_ = false, off_ = false, locked_ = false;
    AcCmColor colour_;
    bool added_ = false;
};

class HOST_API AcDbLayerTable {
public:
    bool has(const char* name) const;
    Acad::ErrorStatus add(AcDbLayerTableRecord* record);
    Acad::ErrorStatus close();

private:
    friend class AcDbDatabase;
    explicit AcDbLayerTable(void* drawing) : drawing_(drawing) {}
    void* drawing_;
    bool for_write_ = false;
};

class HOST_API AcDbDatabase {
public:
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode)
    {
        return getLayerTable(table, mode);
    }

private:
    friend class AcDbHostApplicationServices;
    void* drawing_ = nullptr;
};

class HOST_API AcDbHostApplicationServices {
public:
    AcDbDatabase* workingDatabase();

private:
    AcDbDatabase database_;
};

extern "C" HOST_API AcDbHostApplicationServices* acdbHostApplicationServices();
