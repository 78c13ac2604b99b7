#include "faulty_vfs.h"

#include "dao.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace folium::db::testing {

namespace {

std::atomic<int> g_writesLeft{-1};
bool g_installed = false;
sqlite3_vfs g_vfs;
sqlite3_io_methods g_methods;

// Our file: the real file follows this header in the same allocation.
struct FaultyFile {
    sqlite3_file base;
    sqlite3_file *real() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

sqlite3_vfs *realVfs()
{
    return static_cast<sqlite3_vfs *>(g_vfs.pAppData);
}

bool shouldFail()
{
    int left = g_writesLeft.load();
    while (left >= 0) {
        if (left == 0)
            return true;
        if (g_writesLeft.compare_exchange_weak(left, left - 1))
            return false;
    }
    return false;
}

FaultyFile *F(sqlite3_file *f)
{
    return reinterpret_cast<FaultyFile *>(f);
}

int xClose(sqlite3_file *f)
{
    return F(f)->real()->pMethods->xClose(F(f)->real());
}
int xRead(sqlite3_file *f, void *b, int n, sqlite3_int64 o)
{
    return F(f)->real()->pMethods->xRead(F(f)->real(), b, n, o);
}
int xWrite(sqlite3_file *f, const void *b, int n, sqlite3_int64 o)
{
    if (shouldFail())
        return SQLITE_FULL;
    return F(f)->real()->pMethods->xWrite(F(f)->real(), b, n, o);
}
int xTruncate(sqlite3_file *f, sqlite3_int64 s)
{
    if (shouldFail())
        return SQLITE_IOERR_TRUNCATE;
    return F(f)->real()->pMethods->xTruncate(F(f)->real(), s);
}
int xSync(sqlite3_file *f, int flags)
{
    if (g_writesLeft.load() == 0)
        return SQLITE_IOERR_FSYNC;
    return F(f)->real()->pMethods->xSync(F(f)->real(), flags);
}
int xFileSize(sqlite3_file *f, sqlite3_int64 *s)
{
    return F(f)->real()->pMethods->xFileSize(F(f)->real(), s);
}
int xLock(sqlite3_file *f, int l)
{
    return F(f)->real()->pMethods->xLock(F(f)->real(), l);
}
int xUnlock(sqlite3_file *f, int l)
{
    return F(f)->real()->pMethods->xUnlock(F(f)->real(), l);
}
int xCheckReservedLock(sqlite3_file *f, int *r)
{
    return F(f)->real()->pMethods->xCheckReservedLock(F(f)->real(), r);
}
int xFileControl(sqlite3_file *f, int op, void *a)
{
    return F(f)->real()->pMethods->xFileControl(F(f)->real(), op, a);
}
int xSectorSize(sqlite3_file *f)
{
    return F(f)->real()->pMethods->xSectorSize(F(f)->real());
}
int xDeviceCharacteristics(sqlite3_file *f)
{
    return F(f)->real()->pMethods->xDeviceCharacteristics(F(f)->real());
}

int xOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    FaultyFile *ff = F(file);
    ff->base.pMethods = nullptr;
    const int rc = realVfs()->xOpen(realVfs(), name, ff->real(), flags, outFlags);
    if (ff->real()->pMethods)
        ff->base.pMethods = &g_methods;
    return rc;
}

int xDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    return realVfs()->xDelete(realVfs(), name, syncDir);
}
int xAccess(sqlite3_vfs *, const char *name, int flags, int *out)
{
    return realVfs()->xAccess(realVfs(), name, flags, out);
}
int xFullPathname(sqlite3_vfs *, const char *name, int n, char *out)
{
    return realVfs()->xFullPathname(realVfs(), name, n, out);
}

} // namespace

void installFaultyVfs()
{
    if (g_installed)
        return;
    sqlite3_vfs *real = sqlite3_vfs_find(nullptr);
    g_vfs = *real;
    g_vfs.iVersion = 1;
    g_vfs.szOsFile = int(sizeof(FaultyFile)) + real->szOsFile;
    g_vfs.zName = kFileLayerName;
    g_vfs.pNext = nullptr;
    g_vfs.pAppData = real;
    g_vfs.xOpen = xOpen;
    g_vfs.xDelete = xDelete;
    g_vfs.xAccess = xAccess;
    g_vfs.xFullPathname = xFullPathname;
    std::memset(&g_methods, 0, sizeof g_methods);
    g_methods.iVersion = 1;
    g_methods.xClose = xClose;
    g_methods.xRead = xRead;
    g_methods.xWrite = xWrite;
    g_methods.xTruncate = xTruncate;
    g_methods.xSync = xSync;
    g_methods.xFileSize = xFileSize;
    g_methods.xLock = xLock;
    g_methods.xUnlock = xUnlock;
    g_methods.xCheckReservedLock = xCheckReservedLock;
    g_methods.xFileControl = xFileControl;
    g_methods.xSectorSize = xSectorSize;
    g_methods.xDeviceCharacteristics = xDeviceCharacteristics;
    sqlite3_vfs_register(&g_vfs, 0);
    g_installed = true;
}

void failWritesAfter(int n)
{
    g_writesLeft = n;
}

const char *vfsName()
{
    return g_installed ? g_vfs.zName : nullptr;
}

} // namespace folium::db::testing
