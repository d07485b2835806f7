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

// MoveFileExA flags.
inline constexpr uint32_t kMovefileReplaceExisting = 0x1;
inline constexpr uint32_t kMovefileWriteThrough = 0x8;

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

}  // namespace dormivo::win
