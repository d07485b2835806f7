// Windows constants the core passes through the platform interfaces. They carry the values of
// the Windows headers under names that cannot clash with the macros of <windows.h>.
#pragma once

#include <cstdint>

namespace dormivo::win {

// Error codes (GetLastError).
inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorNoMoreFiles = 18;
inline constexpr uint32_t kErrorWriteFault = 29;
inline constexpr uint32_t kErrorReadFault = 30;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorDirNotEmpty = 145;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorNoMoreItems = 259;
inline constexpr uint32_t kErrorDirectory = 267;
inline constexpr uint32_t kErrorBadPathname = 161;
inline constexpr uint32_t kErrorMoreData = 234;

// CreateFileA access rights.
inline constexpr uint32_t kGenericRead = 0x80000000u;
inline constexpr uint32_t kGenericWrite = 0x40000000u;
inline constexpr uint32_t kDelete = 0x00010000u;

// CreateFileA share modes.
inline constexpr uint32_t kFileShareRead = 0x1;
inline constexpr uint32_t kFileShareWrite = 0x2;
inline constexpr uint32_t kFileShareDelete = 0x4;

// CreateFileA dispositions.
inline constexpr uint32_t kCreateNew = 1;
inline constexpr uint32_t kCreateAlways = 2;
inline constexpr uint32_t kOpenExisting = 3;
inline constexpr uint32_t kOpenAlways = 4;
inline constexpr uint32_t kTruncateExisting = 5;

// File attributes.
inline constexpr uint32_t kFileAttributeReadonly = 0x1;
inline constexpr uint32_t kFileAttributeHidden = 0x2;
inline constexpr uint32_t kFileAttributeSystem = 0x4;
inline constexpr uint32_t kFileAttributeVolumeLabel = 0x8;  // faVolumeID of the old find mask
inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kFileAttributeArchive = 0x20;
inline constexpr uint32_t kFileAttributeNormal = 0x80;
inline constexpr uint32_t kFileAttributeReparsePoint = 0x400;
inline constexpr uint32_t kFileAttributeCompressed = 0x800;
inline constexpr uint32_t kFileAttributeNotContentIndexed = 0x2000;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// Folder search attribute mask of the old find routines: an entry whose hidden, system,
// volume-label or directory attribute is missing from the mask is passed over.
inline constexpr uint32_t kFindAnyFile = 0x3F;

// WaitForSingleObject results, and the timeout that never ends.
inline constexpr uint32_t kWaitObject0 = 0;
inline constexpr uint32_t kWaitAbandoned = 0x80;
inline constexpr uint32_t kWaitTimeout = 0x102;
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFF;
inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

// MoveFileExA flags.
inline constexpr uint32_t kMovefileReplaceExisting = 0x1;
inline constexpr uint32_t kMovefileWriteThrough = 0x8;

// ExitWindowsEx flags.
inline constexpr uint32_t kEwxLogoff = 0x0;
inline constexpr uint32_t kEwxShutdown = 0x1;
inline constexpr uint32_t kEwxReboot = 0x2;
inline constexpr uint32_t kEwxForce = 0x4;
inline constexpr uint32_t kEwxPoweroff = 0x8;

// Window messages and system commands (wParam of WM_SYSCOMMAND).
inline constexpr uint32_t kWmSyscommand = 0x0112;
inline constexpr uint32_t kScMinimize = 0xF020;
inline constexpr uint32_t kScRestore = 0xF120;
inline constexpr uint32_t kScScreensave = 0xF140;
inline constexpr uint32_t kScMonitorpower = 0xF170;

// Access-token rights and privilege attributes.
inline constexpr uint32_t kTokenQuery = 0x0008;
inline constexpr uint32_t kTokenAdjustPrivileges = 0x0020;
inline constexpr uint32_t kSePrivilegeEnabled = 0x2;

// dwPlatformId of GetVersionExA.
inline constexpr uint32_t kVerPlatformWin32s = 0;
inline constexpr uint32_t kVerPlatformWin32Windows = 1;  // the 9x family
inline constexpr uint32_t kVerPlatformWin32Nt = 2;       // the NT family

// SHEmptyRecycleBinA flags.
inline constexpr uint32_t kSherbNoConfirmation = 0x1;
inline constexpr uint32_t kSherbNoProgressUi = 0x2;
inline constexpr uint32_t kSherbNoSound = 0x4;

// URL cache entry types (INTERNET_CACHE_ENTRY_INFOA::CacheEntryType).
inline constexpr uint32_t kNormalCacheEntry = 0x1;
inline constexpr uint32_t kCookieCacheEntry = 0x00100000;
inline constexpr uint32_t kUrlHistoryCacheEntry = 0x00200000;

// Registry access rights and value types.
inline constexpr uint32_t kKeyAllAccess = 0xF003F;
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;

// COM class contexts and results (HRESULT, negative on failure).
inline constexpr uint32_t kClsctxInprocServer = 0x1;
inline constexpr uint32_t kClsctxLocalServer = 0x4;
inline constexpr int32_t kSOk = 0;
inline constexpr int32_t kENotImpl = static_cast<int32_t>(0x80004001u);
inline constexpr int32_t kENoInterface = static_cast<int32_t>(0x80004002u);
inline constexpr int32_t kEFail = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t kRegdbEClassNotReg = static_cast<int32_t>(0x80040154u);
inline constexpr int32_t kCoENotInitialized = static_cast<int32_t>(0x800401F0u);

// GetLocaleInfoA settings.
inline constexpr uint32_t kLocaleSDate = 0x1D;
inline constexpr uint32_t kLocaleSTime = 0x1E;
inline constexpr uint32_t kLocaleSShortDate = 0x1F;
inline constexpr uint32_t kLocaleITime = 0x23;
inline constexpr uint32_t kLocaleITLZero = 0x25;
inline constexpr uint32_t kLocaleS1159 = 0x28;
inline constexpr uint32_t kLocaleS2359 = 0x29;
inline constexpr uint32_t kLocaleSDayName1 = 0x2A;          // Monday; 0x2B to 0x30 follow
inline constexpr uint32_t kLocaleSAbbrevDayName1 = 0x31;    // Monday; 0x32 to 0x37 follow
inline constexpr uint32_t kLocaleSMonthName1 = 0x38;        // January; 0x39 to 0x43 follow
inline constexpr uint32_t kLocaleSAbbrevMonthName1 = 0x44;  // January; 0x45 to 0x4F follow
inline constexpr uint32_t kLocaleITimeMarkPosn = 0x1005;

// ShowWindow commands.
inline constexpr int32_t kSwHide = 0;
inline constexpr int32_t kSwShowNoActivate = 4;
inline constexpr int32_t kSwShow = 5;

// Progress bar messages (WM_USER + n).
inline constexpr uint32_t kPbmSetPos = 0x0402;
inline constexpr uint32_t kPbmSetRange32 = 0x0406;
inline constexpr uint32_t kPbmGetRange = 0x0407;
inline constexpr uint32_t kPbmGetPos = 0x0408;

// PlaySoundA flags.
inline constexpr uint32_t kSndAsync = 0x0001;
inline constexpr uint32_t kSndFilename = 0x00020000;

// MessageBoxA types and results.
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbIconStop = 0x10;
inline constexpr int32_t kIdOk = 1;

}  // namespace dormivo::win
