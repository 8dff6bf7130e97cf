/* ZelIr SDK: the C interface of libzelir.so.
 *
 * Every export returns its result as a value (1 success / 0 failure unless stated otherwise);
 * nothing is thrown across this interface. Text arguments are wchar_t (UTF-32 on Linux);
 * text inside fixed byte records (DeviceInfo) is UTF-16LE in char16_t fields.
 * All records below have fixed little-endian byte layouts that are checked at compile time.
 *
 * Threads:
 * - Every export may be called from any thread.
 * - Calls on one handle take turns: each holds that handle's lock for its whole duration, so
 *   two threads may share a handle without a lock of their own (a long call such as a flash
 *   upload makes the other wait).
 * - Calls on different handles run at the same time; each camera keeps its own control state
 *   (request ids, command and reply buffers), so settings exchanges with two cameras never
 *   meet. Enumeration, the device list and the discovery table are guarded.
 * - ZelIr_Close may race with calls on the same handle: calls already running finish first,
 *   later ones fail as on any unknown handle.
 * - The frame callback runs on the camera's receive thread. Inside it, copy what you need and
 *   return; call no export on the handle that delivers the frame (a ZelIr_Close or
 *   ZelIr_SetCallBackFun waiting for that thread would wait for ever). Exports on other handles
 *   are allowed. The parameter line of a delivered frame follows its image bytes; the handle's
 *   parameter block takes it over when the application next calls an export on the handle.
 * - ZelIr_SetDebugOutput's function is called from any thread, one message at a time. */
#ifndef ZELIR_ZELIR_H
#define ZELIR_ZELIR_H

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
#include <uchar.h>
#define ZELIR_EXTERN_C extern "C"
#define ZELIR_STATIC_ASSERT static_assert
#else
#include <uchar.h>
#define ZELIR_EXTERN_C
#define ZELIR_STATIC_ASSERT _Static_assert
#endif

#define ZELIR_EXPORT __attribute__((visibility("default")))
#define ZELIR_API ZELIR_EXTERN_C ZELIR_EXPORT

#define ZELIR_PACKED __attribute__((packed))

/* A handle is the address of an open device manager; null means none. */
typedef void* ZelIrHandle;

/* ---------------------------------------------------------------------------------------------
 * Windows bitmap records, in their Windows layouts.
 * ------------------------------------------------------------------------------------------- */
typedef struct ZELIR_PACKED tagBITMAPFILEHEADER {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
} BITMAPFILEHEADER;

typedef struct ZELIR_PACKED tagBITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} BITMAPINFOHEADER;

typedef struct ZELIR_PACKED tagRGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
} RGBQUAD;

typedef struct ZELIR_PACKED tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;

ZELIR_STATIC_ASSERT(sizeof(BITMAPFILEHEADER) == 14, "BITMAPFILEHEADER layout");
ZELIR_STATIC_ASSERT(offsetof(BITMAPFILEHEADER, bfSize) == 2, "BITMAPFILEHEADER layout");
ZELIR_STATIC_ASSERT(offsetof(BITMAPFILEHEADER, bfOffBits) == 10, "BITMAPFILEHEADER layout");
ZELIR_STATIC_ASSERT(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER layout");
ZELIR_STATIC_ASSERT(offsetof(BITMAPINFOHEADER, biWidth) == 4, "BITMAPINFOHEADER layout");
ZELIR_STATIC_ASSERT(offsetof(BITMAPINFOHEADER, biHeight) == 8, "BITMAPINFOHEADER layout");
ZELIR_STATIC_ASSERT(offsetof(BITMAPINFOHEADER, biBitCount) == 14, "BITMAPINFOHEADER layout");
ZELIR_STATIC_ASSERT(offsetof(BITMAPINFOHEADER, biSizeImage) == 20, "BITMAPINFOHEADER layout");
ZELIR_STATIC_ASSERT(offsetof(BITMAPINFOHEADER, biClrUsed) == 32, "BITMAPINFOHEADER layout");
ZELIR_STATIC_ASSERT(sizeof(RGBQUAD) == 4, "RGBQUAD layout");
ZELIR_STATIC_ASSERT(sizeof(BITMAPINFO) == 44, "BITMAPINFO layout");

/* ---------------------------------------------------------------------------------------------
 * Device-info record: one camera of the device list (232 bytes).
 * ------------------------------------------------------------------------------------------- */
typedef struct ZELIR_PACKED DeviceInfo {
    char16_t name[16];           /* camera name from discovery, "Gige%d" */
    char16_t transport[16];      /* "GIGE" */
    char16_t connectionPath[32]; /* "cam://%d" */
    char16_t address[16];        /* camera IPv4 address, dotted */
    char16_t hostAddress[16];    /* IPv4 address of the local adapter that saw it */
    char16_t serial[16];         /* serial text, or the index for enumeration type 65535 */
    uint32_t reserved;           /* always 0 */
    uint16_t width;
    uint16_t height;
} DeviceInfo;

ZELIR_STATIC_ASSERT(sizeof(DeviceInfo) == 232, "DeviceInfo layout");
ZELIR_STATIC_ASSERT(offsetof(DeviceInfo, transport) == 32, "DeviceInfo layout");
ZELIR_STATIC_ASSERT(offsetof(DeviceInfo, connectionPath) == 64, "DeviceInfo layout");
ZELIR_STATIC_ASSERT(offsetof(DeviceInfo, address) == 128, "DeviceInfo layout");
ZELIR_STATIC_ASSERT(offsetof(DeviceInfo, hostAddress) == 160, "DeviceInfo layout");
ZELIR_STATIC_ASSERT(offsetof(DeviceInfo, serial) == 192, "DeviceInfo layout");
ZELIR_STATIC_ASSERT(offsetof(DeviceInfo, reserved) == 224, "DeviceInfo layout");
ZELIR_STATIC_ASSERT(offsetof(DeviceInfo, width) == 228, "DeviceInfo layout");
ZELIR_STATIC_ASSERT(offsetof(DeviceInfo, height) == 230, "DeviceInfo layout");

/* Enumeration type codes of ZelIr_EnumerateDevices. */
#define ZELIR_ENUM_GIGE 0x8u         /* rediscover GigE cameras */
#define ZELIR_ENUM_ALL 0xFFFFu       /* rediscover all kinds; serial carries the index */
#define ZELIR_ENUM_CACHED 0x1000000u /* return the list as it stands */

/* ---------------------------------------------------------------------------------------------
 * Parameter block (34,864 bytes). The first 100 bytes mirror the camera's parameter line.
 * ------------------------------------------------------------------------------------------- */
typedef struct ZELIR_PACKED ZelIrRegionRecord {
    float emissivity; /* +0, 78.338 after initialisation */
    uint16_t value4;  /* +4, 200 after initialisation */
    uint8_t reserved6[8];
    uint16_t value14; /* +14 */
    float value16;    /* +16 */
    float value20;    /* +20 */
    float value24;    /* +24 */
    uint8_t reserved28[28];
} ZelIrRegionRecord;

typedef struct ZELIR_PACKED ZelIrParameterBlock {
    /* 0..99: parameter line area */
    uint16_t marker;          /* 0: 1 when the parameter line is valid */
    uint16_t paramLineSize;   /* 2 */
    uint16_t width;           /* 4 */
    uint16_t height;          /* 6 */
    uint8_t headerLines;      /* 8 */
    uint8_t frameRate;        /* 9: whole frames per second */
    char serialNumber[8];     /* 10: no terminator */
    char modelText[8];        /* 18 */
    uint16_t unnamed26;       /* 26 */
    uint32_t frameId;         /* 28 */
    uint16_t ambientTemp;     /* 32 */
    uint16_t atmosphereTemp;  /* 34 */
    uint16_t vTemp;           /* 36 */
    uint16_t vTempFpa;        /* 38 */
    uint16_t unnamed40;       /* 40 */
    uint8_t reserved42[2];    /* 42 */
    uint32_t integrationTime; /* 44 */
    uint16_t frameDivider;    /* 48 */
    uint8_t gain;             /* 50 */
    uint8_t reserved51;       /* 51 */
    uint16_t bAve;            /* 52 */
    uint8_t reserved54[2];    /* 54 */
    uint8_t ulisSelector;     /* 56: GFID and GSK are reported only while 0 */
    uint8_t reserved57[5];    /* 57 */
    uint16_t gfid;            /* 62 */
    uint16_t gsk;             /* 64 */
    uint16_t bvt;             /* 66 */
    uint8_t reserved68[30];   /* 68 */
    int16_t pole;             /* 98 */
    /* 100..: display and analysis settings */
    int16_t bcType;               /* 100: brightness/contrast type */
    uint8_t reserved102[2];       /* 102 */
    float contrast;               /* 104 */
    float brightness;             /* 108 */
    float kthr;                   /* 112: automatic-map threshold */
    int16_t topCut;               /* 116: per thousand */
    int16_t bottomCut;            /* 118: per thousand */
    uint32_t alarmColorMarker;    /* 120: 0x7777 turns the alarm colours on */
    uint16_t paletteIndex;        /* 124 */
    uint16_t limit1;              /* 126: first histogram limit of the last mapping */
    uint16_t limit2;              /* 128: second histogram limit */
    uint16_t minDigit;            /* 130: minimum digit value of the last mapping */
    uint16_t maxDigit;            /* 132: maximum digit value of the last mapping */
    uint8_t reserved134[18];      /* 134 */
    float unnamed152;             /* 152 */
    char unnamed156[16];          /* 156 */
    uint8_t reserved172[84];      /* 172 */
    ZelIrRegionRecord regions[5]; /* 256 */
    uint8_t reserved536[56];      /* 536 */
    float unnamed592;             /* 592 */
    uint8_t reserved596[6];       /* 596 */
    uint16_t unnamed602[3];       /* 602, 604, 606 */
    uint8_t reserved608[250];     /* 608 */
    uint16_t unnamed858[5];       /* 858 .. 866 */
    uint8_t reserved868[4];       /* 868 */
    uint8_t isothermCount;        /* 872 */
    int8_t alarmColorCount;       /* 873 */
    uint8_t reserved874[4];       /* 874 */
    uint16_t listA[5];            /* 878 */
    uint16_t listB[5];            /* 888 */
    uint8_t reserved898[2];       /* 898 */
    int32_t alarmColors[5];       /* 900: 0x00BBGGRR; only 1..3 come from para.ini */
    uint8_t reserved920[54];      /* 920 */
    int16_t useMinMax;            /* 974 */
    int16_t useMask;              /* 976 */
    int16_t useRegionGrow;        /* 978 */
    int16_t regionIncrease;       /* 980 */
    int16_t regionSize;           /* 982 */
    int16_t regionDistance;       /* 984 */
    uint8_t reserved986[1088];    /* 986 */
    int16_t unnamed2074;          /* 2074 */
    uint8_t reserved2076[32766];  /* 2076 */
    uint8_t smoothFrameCount;     /* 34842 */
    uint8_t serialPort;           /* 34843 */
    uint32_t serialBaud;          /* 34844 */
    char serialParity;            /* 34848 */
    uint8_t reserved34849[3];     /* 34849 */
    uint32_t serialDataBits;      /* 34852 */
    uint32_t serialStopBits;      /* 34856 */
    uint8_t grabberCard;          /* 34860 */
    uint8_t grabberChannel;       /* 34861 */
    uint8_t networkMode;          /* 34862 */
    uint8_t reserved34863;        /* 34863 */
} ZelIrParameterBlock;

#define ZELIR_PARAMETER_BLOCK_SIZE 34864
#define ZELIR_PARAMETER_LINE_SIZE 100
ZELIR_STATIC_ASSERT(sizeof(ZelIrRegionRecord) == 56, "region record layout");
ZELIR_STATIC_ASSERT(sizeof(ZelIrParameterBlock) == ZELIR_PARAMETER_BLOCK_SIZE,
                    "parameter block size");
#define ZELIR_CHECK_OFFSET(field, offset) \
    ZELIR_STATIC_ASSERT(offsetof(ZelIrParameterBlock, field) == offset, #field " offset")
ZELIR_CHECK_OFFSET(paramLineSize, 2);
ZELIR_CHECK_OFFSET(width, 4);
ZELIR_CHECK_OFFSET(height, 6);
ZELIR_CHECK_OFFSET(headerLines, 8);
ZELIR_CHECK_OFFSET(frameRate, 9);
ZELIR_CHECK_OFFSET(serialNumber, 10);
ZELIR_CHECK_OFFSET(modelText, 18);
ZELIR_CHECK_OFFSET(unnamed26, 26);
ZELIR_CHECK_OFFSET(frameId, 28);
ZELIR_CHECK_OFFSET(ambientTemp, 32);
ZELIR_CHECK_OFFSET(atmosphereTemp, 34);
ZELIR_CHECK_OFFSET(vTemp, 36);
ZELIR_CHECK_OFFSET(vTempFpa, 38);
ZELIR_CHECK_OFFSET(unnamed40, 40);
ZELIR_CHECK_OFFSET(integrationTime, 44);
ZELIR_CHECK_OFFSET(frameDivider, 48);
ZELIR_CHECK_OFFSET(gain, 50);
ZELIR_CHECK_OFFSET(bAve, 52);
ZELIR_CHECK_OFFSET(ulisSelector, 56);
ZELIR_CHECK_OFFSET(gfid, 62);
ZELIR_CHECK_OFFSET(gsk, 64);
ZELIR_CHECK_OFFSET(bvt, 66);
ZELIR_CHECK_OFFSET(pole, 98);
ZELIR_CHECK_OFFSET(bcType, 100);
ZELIR_CHECK_OFFSET(contrast, 104);
ZELIR_CHECK_OFFSET(brightness, 108);
ZELIR_CHECK_OFFSET(kthr, 112);
ZELIR_CHECK_OFFSET(topCut, 116);
ZELIR_CHECK_OFFSET(bottomCut, 118);
ZELIR_CHECK_OFFSET(alarmColorMarker, 120);
ZELIR_CHECK_OFFSET(paletteIndex, 124);
ZELIR_CHECK_OFFSET(limit1, 126);
ZELIR_CHECK_OFFSET(limit2, 128);
ZELIR_CHECK_OFFSET(minDigit, 130);
ZELIR_CHECK_OFFSET(maxDigit, 132);
ZELIR_CHECK_OFFSET(unnamed152, 152);
ZELIR_CHECK_OFFSET(unnamed156, 156);
ZELIR_CHECK_OFFSET(regions, 256);
ZELIR_CHECK_OFFSET(unnamed592, 592);
ZELIR_CHECK_OFFSET(unnamed602, 602);
ZELIR_CHECK_OFFSET(unnamed858, 858);
ZELIR_CHECK_OFFSET(isothermCount, 872);
ZELIR_CHECK_OFFSET(alarmColorCount, 873);
ZELIR_CHECK_OFFSET(listA, 878);
ZELIR_CHECK_OFFSET(listB, 888);
ZELIR_CHECK_OFFSET(alarmColors, 900);
ZELIR_CHECK_OFFSET(useMinMax, 974);
ZELIR_CHECK_OFFSET(useMask, 976);
ZELIR_CHECK_OFFSET(useRegionGrow, 978);
ZELIR_CHECK_OFFSET(regionIncrease, 980);
ZELIR_CHECK_OFFSET(regionSize, 982);
ZELIR_CHECK_OFFSET(regionDistance, 984);
ZELIR_CHECK_OFFSET(unnamed2074, 2074);
ZELIR_CHECK_OFFSET(smoothFrameCount, 34842);
ZELIR_CHECK_OFFSET(serialPort, 34843);
ZELIR_CHECK_OFFSET(serialBaud, 34844);
ZELIR_CHECK_OFFSET(serialParity, 34848);
ZELIR_CHECK_OFFSET(serialDataBits, 34852);
ZELIR_CHECK_OFFSET(serialStopBits, 34856);
ZELIR_CHECK_OFFSET(grabberCard, 34860);
ZELIR_CHECK_OFFSET(grabberChannel, 34861);
ZELIR_CHECK_OFFSET(networkMode, 34862);
#undef ZELIR_CHECK_OFFSET

/* The alarm colour marker value that lets alarm colours replace palette entries. */
#define ZELIR_ALARM_COLOR_MARKER 0x7777u

/* ---------------------------------------------------------------------------------------------
 * Histogram record of the display mapping (2,072 bytes). Bytes 20.. belong to the arithmetic
 * library (it keeps its histogram there).
 * ------------------------------------------------------------------------------------------- */
typedef struct ZELIR_PACKED _HISTOGRAM_INFO_ {
    uint8_t reserved0[4];
    uint16_t minDigit; /* 4 */
    uint16_t maxDigit; /* 6 */
    uint16_t limit1;   /* 8: first limit (bottom cut) */
    uint16_t limit2;   /* 10: second limit (top cut) */
    int32_t topCut;    /* 12: per thousand, input */
    int32_t bottomCut; /* 16: per thousand, input */
    uint8_t library[2052];
} HISTOGRAM_INFO;

ZELIR_STATIC_ASSERT(sizeof(HISTOGRAM_INFO) == 2072, "histogram record size");
ZELIR_STATIC_ASSERT(offsetof(HISTOGRAM_INFO, minDigit) == 4, "histogram record layout");
ZELIR_STATIC_ASSERT(offsetof(HISTOGRAM_INFO, maxDigit) == 6, "histogram record layout");
ZELIR_STATIC_ASSERT(offsetof(HISTOGRAM_INFO, limit1) == 8, "histogram record layout");
ZELIR_STATIC_ASSERT(offsetof(HISTOGRAM_INFO, limit2) == 10, "histogram record layout");
ZELIR_STATIC_ASSERT(offsetof(HISTOGRAM_INFO, topCut) == 12, "histogram record layout");
ZELIR_STATIC_ASSERT(offsetof(HISTOGRAM_INFO, bottomCut) == 16, "histogram record layout");

/* ---------------------------------------------------------------------------------------------
 * Frame callback (callback mode of a camera).
 * ------------------------------------------------------------------------------------------- */
typedef struct FrameInfo {
    uint32_t height;
    uint32_t width;
    uint32_t byteCount;
} FrameInfo;
ZELIR_STATIC_ASSERT(sizeof(FrameInfo) == 12, "FrameInfo layout");

/* Called on the camera's receive thread with the frame's first byte; the result is ignored. */
typedef int (*ZelIrFrameCallback)(uint8_t* frame, FrameInfo* info, void* context);

/* What a camera's stream reception has seen since the handle was opened, and whether the camera
 * still sends. A frame missing a packet is dropped, counted, and never delivered. The packet
 * counters are kept with ZELIR_STREAM_ANY_ORDER only. */
typedef struct ZelIrStreamStats {
    uint64_t framesCompleted; /* repeats of the previous frame's block id included */
    uint64_t framesDroppedIncomplete;
    uint64_t packetsOutOfOrder; /* arrived after a later packet of their frame */
    uint64_t packetsRepeated;   /* their frame had them already */
    uint32_t state;             /* ZELIR_STREAM_WAITING, _RECEIVING or _LOST */
    uint32_t reserved;
} ZelIrStreamStats;
ZELIR_STATIC_ASSERT(sizeof(ZelIrStreamStats) == 40, "ZelIrStreamStats layout");
ZELIR_STATIC_ASSERT(offsetof(ZelIrStreamStats, state) == 32, "ZelIrStreamStats layout");

/* No frame yet since the open. */
#define ZELIR_STREAM_WAITING 0
#define ZELIR_STREAM_RECEIVING 1
/* No frame for ZELIR_STREAM_LOST_MS milliseconds. */
#define ZELIR_STREAM_LOST 2
#define ZELIR_STREAM_LOST_MS 1000

/* Stream options of a camera handle (ZelIr_SetStreamOptions). Without them a frame with a lost,
 * repeated or reordered packet is dropped, and a fetch hands the newest complete frame out again
 * until the next one completes, however long that takes. */
/* A frame whose packets all arrive, in any order and some twice, is completed. */
#define ZELIR_STREAM_ANY_ORDER 0x1u
/* While the stream is lost (ZELIR_STREAM_LOST) ZelIr_GetNewArray fails, and the stream start is
 * sent again once per ZELIR_STREAM_LOST_MS, so a restarted camera comes back without a reopen. */
#define ZELIR_STREAM_REPORT_LOST 0x2u

/* Called during long transfers: (message code, progress, context). */
typedef void (*ZelIrProgressCallback)(uint16_t code, uint32_t progress, void* context);

/* Receives every debug message text exactly as the library formats it (UTF-8, ends in "\n"). */
typedef void (*ZelIrDebugOutput)(const char* text, void* context);

/* ---------------------------------------------------------------------------------------------
 * Library and handles.
 * ------------------------------------------------------------------------------------------- */
ZELIR_API void ZelIr_Init(void);
ZELIR_API ZelIrHandle ZelIr_OpenDevice(const wchar_t* path, void* reserved);
ZELIR_API ZelIrHandle ZelIr_RawImageOpen(const wchar_t* path);
ZELIR_API ZelIrHandle ZelIr_MovieFileOpen(const wchar_t* path);
ZELIR_API int32_t ZelIr_Close(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_IsOpen(ZelIrHandle handle);
ZELIR_API uint32_t ZelIr_GetHandleType(ZelIrHandle handle);
ZELIR_API uint32_t ZelIr_GetHandleTypeExt(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetVersion(uint16_t* version);
ZELIR_API int32_t ZelIr_GetRevisionTime(char* buffer, uint32_t size);

/* Extension: routes every debug message to `output` (null restores the default: silent, or
 * stderr when the environment variable ZELIR_DEBUG is set). */
ZELIR_API void ZelIr_SetDebugOutput(ZelIrDebugOutput output, void* context);

/* ---------------------------------------------------------------------------------------------
 * Device list.
 * ------------------------------------------------------------------------------------------- */
/* Type ZELIR_ENUM_GIGE or ZELIR_ENUM_ALL: discovers the cameras on every network adapter
 * (blocking, up to 600 ms per adapter without a camera) and rebuilds the list;
 * ZELIR_ENUM_CACHED: the list as it stands; any other type empties the list. Copies the records
 * into `list` (room for as many as the same call reports; may be null) and their number into
 * `count` (may be null). Always 0. Usual sequence: count with a null list and type
 * ZELIR_ENUM_GIGE, then copy with ZELIR_ENUM_CACHED. Closing any handle empties the list. */
ZELIR_API int32_t ZelIr_EnumerateDevices(DeviceInfo* list, int32_t* count, uint32_t type);
/* Empties the list and the discovery state; always 0. */
ZELIR_API int32_t ZelIr_FreeDevices(void);

/* ---------------------------------------------------------------------------------------------
 * Frames and digit arrays.
 * ------------------------------------------------------------------------------------------- */
/* Fetches the newest frame (a movie first steps one frame on); 1 when a frame was fetched. */
ZELIR_API int32_t ZelIr_GetNewArray(ZelIrHandle handle);
/* Cameras: fetches the frame as received, without correction, and returns 1. Files: as
 * ZelIr_GetNewArray but returns 0. */
ZELIR_API int32_t ZelIr_GetNewArrayDirect(ZelIrHandle handle);
/* Copies the digit array (width x height values; 16-bit, or bytes when `kind` reads 1). */
ZELIR_API int32_t ZelIr_GetDigitArray(ZelIrHandle handle, uint16_t* digits, uint32_t* kind);
ZELIR_API int32_t ZelIr_GetDigitArrayPara(ZelIrHandle handle, uint32_t* width, uint32_t* height);
/* The value at column x, row y; 0.0 outside the frame. */
ZELIR_API double ZelIr_GetDigitVal(ZelIrHandle handle, int16_t x, int16_t y);
/* Smallest and largest digit value seen by the last display mapping (0 and 255 for 8-bit). */
ZELIR_API void ZelIr_GetCurrMinAndMaxDigitVal(ZelIrHandle handle, uint32_t* min, uint32_t* max);
ZELIR_API uint32_t ZelIr_GetFrameID(ZelIrHandle handle);
ZELIR_API uint32_t ZelIr_GetFrames(void);
ZELIR_API float ZelIr_GETDeviceFPS(ZelIrHandle handle);
/* Stores the address of the handle's parameter block (ZelIrParameterBlock) in `*block`. */
ZELIR_API int32_t ZelIr_GetDeviceIRIParam(ZelIrHandle handle, void** block);
/* Copies the data directory (where para.ini lives) into `out`, which has room for 256. */
ZELIR_API int32_t ZelIr_GetDeviceConPath(ZelIrHandle handle, wchar_t* out);

/* ---------------------------------------------------------------------------------------------
 * Display mapping and palettes.
 * ------------------------------------------------------------------------------------------- */
/* Loads palette `index` (0..8, anything else counts as 0); copies the 1,024-byte table
 * (256 x blue, green, red, 0) into `table` when it is non-null. */
ZELIR_API int32_t ZelIr_SetPalette(ZelIrHandle handle, uint32_t index, uint8_t* table);
/* Installs the colours of a caller's 256-entry RGBQUAD table. */
ZELIR_API int32_t ZelIr_SetUserPalette(ZelIrHandle handle, const void* table);
ZELIR_API uint16_t ZelIr_GetCurrPalette(ZelIrHandle handle, uint8_t* table);
/* Brightness/contrast types: 0 automatic linear, 1 manual linear, 3 adaptive histogram
 * equalisation, 4 range-limited histogram equalisation, 5 mixed, 6 retinex, 7 bilateral detail
 * enhancement (n + 10 selects the same). Other values store 0. */
ZELIR_API int32_t ZelIr_SetBrihgtContrastType(ZelIrHandle handle, int32_t type);
ZELIR_API int32_t ZelIr_GetBrihgtContrastType(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_SetCurrBright(ZelIrHandle handle, int32_t value);
ZELIR_API int32_t ZelIr_SetCurrContrast(ZelIrHandle handle, int32_t value);
/* The stored value truncated toward zero; a value that is not finite reads as 50, one beyond
 * the range of int32_t as its nearest limit. */
ZELIR_API int32_t ZelIr_GetCurrBright(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetCurrContrast(ZelIrHandle handle);
/* Maps `digits` (width x height of the handle) to an 8-bit image in `out`. `record` (optional)
 * passes the cut settings in and receives the statistics. Rows come out bottom-up, as a BMP
 * stores them, unless `noFlip` is non-zero. */
ZELIR_API int32_t ZelIr_DigitArrayToBmp(ZelIrHandle handle, const uint16_t* digits, uint8_t* out,
                                        uint32_t ignored, int32_t noFlip, HISTOGRAM_INFO* record);

/* ---------------------------------------------------------------------------------------------
 * Analysis block and alarm mask.
 * ------------------------------------------------------------------------------------------- */
/* Keeps 1..9,999 bytes of the application's own data with the handle. */
ZELIR_API int32_t ZelIr_ImportAnalysisBlock(ZelIrHandle handle, const void* data, int32_t length);
/* Stores the block's address (owned by the handle) in `*data`; returns its length, 0 for none. */
ZELIR_API uint16_t ZelIr_GetAnalysisBlock(ZelIrHandle handle, void** data);
/* Copies width x height mask bytes when the handle uses a mask. */
ZELIR_API int32_t ZelIr_ImportAlarmMask(ZelIrHandle handle, const void* mask);

/* ---------------------------------------------------------------------------------------------
 * Calibration, bad points and arithmetic switches.
 * ------------------------------------------------------------------------------------------- */
/* Camera handles: one-frame calibration step; always 0. */
ZELIR_API int32_t ZelIr_Calibrate(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_SoftCalibrate(ZelIrHandle handle);
/* Two-point calibration: the next processed frame is taken as the low (P1) or high (P2) point. */
ZELIR_API int32_t ZelIr_CalibrateP1(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_CalibrateP2(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_CalibrateReset(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_CalibrateSetCurrChan(ZelIrHandle handle, int32_t channel);
ZELIR_API int32_t ZelIr_CalibrateGetCurrChan(ZelIrHandle handle);
/* Computes the correction from two raw image files (low and high reference scene). */
ZELIR_API int32_t ZelIr_ReadDataCalcK(ZelIrHandle handle, const wchar_t* lowFile,
                                      const wchar_t* highFile);
ZELIR_API void ZelIr_SetDevieceBpImage(ZelIrHandle handle, const uint16_t* image);
ZELIR_API uint16_t* ZelIr_GetDevieceBpImage(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_EnableSaveBP(ZelIrHandle handle, uint32_t flag);
/* Frame correction on/off and its parameter array (16 values). */
ZELIR_API int32_t ZelIr_DebugGet(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_DebugSet(ZelIrHandle handle, int32_t flag);
ZELIR_API void ZelIr_DebugGetPara(ZelIrHandle handle, int16_t* para);
ZELIR_API int32_t ZelIr_DebugSetPara(ZelIrHandle handle, const int16_t* para);
ZELIR_API int32_t ZelIr_SetArithType(ZelIrHandle handle, int32_t type);
ZELIR_API int32_t ZelIr_GetCurrArithType(ZelIrHandle handle);

/* ---------------------------------------------------------------------------------------------
 * Camera state values.
 * ------------------------------------------------------------------------------------------- */
ZELIR_API int32_t ZelIr_GetAmbientTemp(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetAtmosphereTempH(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetVTemp(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetVTempFPA(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetULIS_GFID(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetULIS_GSK(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetCurrGain(ZelIrHandle handle);
ZELIR_API uint32_t ZelIr_GetCurrIntTime(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetCurrFrameDiv(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetCurrBAve(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_GetCurrBvt(ZelIrHandle handle);

/* ---------------------------------------------------------------------------------------------
 * Movie playback and recording; saving images.
 * ------------------------------------------------------------------------------------------- */
ZELIR_API int32_t ZelIr_MovieForward(ZelIrHandle handle, uint32_t frames);
ZELIR_API int32_t ZelIr_MovieBackward(ZelIrHandle handle, uint32_t frames);
ZELIR_API uint32_t ZelIr_MovieGetPosi(ZelIrHandle handle);
ZELIR_API uint32_t ZelIr_MovieGetTotalFrm(ZelIrHandle handle);
/* Complete frames the movie file holds. The total above keeps the header's count when it lies
 * within 10 frames of this; positions past the last complete frame then show that frame. */
ZELIR_API uint32_t ZelIr_MovieGetWholeFrm(ZelIrHandle handle);
/* Positions 1 .. total - 1; frame 0 is reached with ZelIr_MovieBackward. */
ZELIR_API int32_t ZelIr_MovieGoto(ZelIrHandle handle, uint32_t position);
ZELIR_API int32_t ZelIr_MoviePause(ZelIrHandle handle, uint32_t paused);
ZELIR_API uint32_t ZelIr_MovieIsPause(ZelIrHandle handle);
/* Loop play (on after opening): new-frame requests past the last frame start at frame 0. */
ZELIR_API int32_t ZelIr_SetCyclePlay(ZelIrHandle handle, uint32_t loop);
ZELIR_API uint32_t ZelIr_IsCyclePlay(ZelIrHandle handle);
/* Records raw frames as they are fetched: 0 started, -1 file not created. Closing the handle
 * finishes the movie. */
ZELIR_API int32_t ZelIr_StartRecordMovie(ZelIrHandle handle, const wchar_t* path);
ZELIR_API int32_t ZelIr_StopRecordMovie(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_IsRecordingMovie(ZelIrHandle handle);
/* Combined image file at `path` (BMP + raw frame + parameter block) and `path`.raw. */
ZELIR_API int32_t ZelIr_SaveCurrImage(ZelIrHandle handle, const wchar_t* path);
ZELIR_API int32_t ZelIr_SaveCurrImageAsBmp(ZelIrHandle handle, const wchar_t* path);
/* A combined image file whose BMP part is the caller's image (info->biSize must be 40). */
ZELIR_API int32_t ZelIr_SaveCurrImageV1D7(ZelIrHandle handle, const wchar_t* path,
                                          const BITMAPINFOHEADER* info, const RGBQUAD* palette,
                                          const uint8_t* pixels);

/* ---------------------------------------------------------------------------------------------
 * Camera control, settings and transfers.
 * ------------------------------------------------------------------------------------------- */
/* Callback mode: while `callback` and `context` are both set, every complete frame goes to
 * `callback` on the camera's receive thread (it must not block, and must not call exports on
 * this handle: see "Threads" at the top) and ZelIr_GetNewArray fetches nothing; the first 64
 * bytes of each valid parameter line reach the parameter block at the application's next call
 * on the handle. A null callback or context returns to fetching. 1 for a camera, 0 otherwise. */
ZELIR_API int32_t ZelIr_SetCallBackFun(ZelIrHandle handle, ZelIrFrameCallback callback,
                                       void* context);
/* Camera handles: the stream's counters and state into `stats`; 1, or 0 for another handle or a
 * null pointer. */
ZELIR_API int32_t ZelIr_GetStreamStats(ZelIrHandle handle, ZelIrStreamStats* stats);
/* Camera handles: sets the ZELIR_STREAM_* options (other bits refused); 1, or 0 for another
 * handle or an unknown bit. */
ZELIR_API int32_t ZelIr_SetStreamOptions(ZelIrHandle handle, uint32_t options);
/* GigE camera handles: 1 (the camera has no motorised focus); 0 for other handles. */
ZELIR_API int32_t ZelIr_FarFocus(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_NearFocus(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_StopFocus(ZelIrHandle handle);
ZELIR_API int32_t ZelIr_Reset(ZelIrHandle handle);
/* 1 for any handle with a source. */
ZELIR_API int32_t ZelIr_CaptureReset(ZelIrHandle handle);
/* No source of this library switches video modes: always 0. */
ZELIR_API int32_t ZelIr_SwitchVideoMode(ZelIrHandle handle, uint16_t mode);
/* Camera handles: keeps the two values with the handle; 1. */
ZELIR_API int32_t ZelIr_AddMessageFilter(ZelIrHandle handle, uintptr_t first, uintptr_t second);
/* Camera handles: later commands go to `address` (its four bytes in memory order are the
 * dotted octets, first first); 1. 0 for a file. */
ZELIR_API int32_t ZelIr_SetIpAddress(ZelIrHandle handle, uint32_t address);
/* Camera handles: the 4 bytes replace bytes 2..5 of the camera's MAC address, and only frames
 * from that address are taken from then on; 1. 0 for a file. */
ZELIR_API int32_t ZelIr_SetMacAddress(ZelIrHandle handle, const uint8_t* address);
/* 1 for any handle with a source (nothing is changed). */
ZELIR_API int32_t ZelIr_SetExtTrigger(ZelIrHandle handle, uint32_t first, uint32_t second);
/* 0: no source reports an external trigger. */
ZELIR_API int32_t ZelIr_GetExtTrigger(ZelIrHandle handle, uint32_t* first, uint32_t* second);

/* Camera handles only. Framed messages (55 AA 10, length, flag, data length, id, data,
 * checksum) go out as unacknowledged GVCP device commands; the camera's answer is fetched with
 * ZelIr_ReceiveSeriaPortCmd. Flag 1 writes, flag 0 queries. */
/* Sends `value` as four little-endian data bytes. */
ZELIR_API int32_t ZelIr_SendMessage(ZelIrHandle handle, uint16_t id, uint8_t flag, uint32_t value);
/* Sends n data bytes (the frame must fit 540 bytes: n <= 528). */
ZELIR_API int32_t ZelIr_SendMessageEx(ZelIrHandle handle, uint16_t id, uint8_t flag,
                                      const uint8_t* data, uint16_t n);
/* Sends bytes the caller framed himself, unchanged (at most 540). */
ZELIR_API int32_t ZelIr_SendSeriaPortCmd(ZelIrHandle handle, const uint8_t* bytes, uint32_t length);
/* Waits (about 200 ms) for the camera's answer to the last message. `*length` holds the
 * capacity of `destination` on entry; at most that many bytes are copied. On return it holds
 * the length of the reply itself: a value above the capacity means the reply was cut. `id`
 * (may be null) receives the acknowledgement id. */
ZELIR_API int32_t ZelIr_ReceiveSeriaPortCmd(ZelIrHandle handle, uint8_t* destination,
                                            uint32_t* length, uint16_t* id);

/* Settings. Each setter writes the value and reads it back (up to four times, 50 ms apart);
 * 1 once the camera reports the value written (frame frequency: within +-0.5). */
/* values[3]: current, and two further values of the camera (frame frequency: lowest, highest). */
ZELIR_API int32_t ZelIr_GetFrameFreq(ZelIrHandle handle, float* values);
ZELIR_API int32_t ZelIr_SetFrameFreq(ZelIrHandle handle, float value);
ZELIR_API int32_t ZelIr_GetExposureTime(ZelIrHandle handle, uint32_t* values);
ZELIR_API int32_t ZelIr_SetExposureTime(ZelIrHandle handle, uint32_t value);
/* `out` (may be null) receives the camera's reply, at most 32 bytes; `length` (may be null)
 * its byte count. The current value is the first 32-bit word. */
ZELIR_API int32_t ZelIr_GetExposureMode(ZelIrHandle handle, void* out, int32_t* length);
ZELIR_API int32_t ZelIr_SetExposureMode(ZelIrHandle handle, uint32_t value);
ZELIR_API int32_t ZelIr_GetGain(ZelIrHandle handle, void* out, int32_t* length);
ZELIR_API int32_t ZelIr_SetGain(ZelIrHandle handle, uint32_t value);
ZELIR_API int32_t ZelIr_GetPixelFormat(ZelIrHandle handle, void* out, int32_t* length);
ZELIR_API int32_t ZelIr_SetPixelFormat(ZelIrHandle handle, uint32_t value);
ZELIR_API int32_t ZelIr_GetFlipDir(ZelIrHandle handle, void* out, int32_t* length);
ZELIR_API int32_t ZelIr_SetFlipDir(ZelIrHandle handle, uint32_t value);
/* Trigger control word: bit 0 trigger mode, bit 1 soft trigger pulse, bit 2 trigger source.
 * The getters report {bit, 0, 1} and length 12; the last word seen is kept for the soft
 * trigger, which pulses only in trigger mode with source 0. */
ZELIR_API int32_t ZelIr_GetTriggerMode(ZelIrHandle handle, uint32_t* values, uint32_t* length);
ZELIR_API int32_t ZelIr_GetTriggerSource(ZelIrHandle handle, uint32_t* values, uint32_t* length);
ZELIR_API int32_t ZelIr_SetTriggerMode(ZelIrHandle handle, uint32_t mode);
ZELIR_API int32_t ZelIr_SetTriggerSource(ZelIrHandle handle, uint32_t source);
ZELIR_API int32_t ZelIr_SetSoftTrigger(ZelIrHandle handle);

/* Transfers. Progress reaches the callback set with ZelIr_SetCommandCallback as
 * (1929, percent) during an array transfer and (1927, camera's progress) while flashing. */
ZELIR_API int32_t ZelIr_SetCommandCallback(ZelIrHandle handle, ZelIrProgressCallback callback,
                                           void* context);
/* Sends `length` bytes (at most 16 MiB - 1) in acknowledged 512-byte blocks; `type` is the
 * camera's transfer type (low 6 bits). 1 when every block was acknowledged. */
ZELIR_API int32_t ZelIr_TransmitArray(ZelIrHandle handle, const uint8_t* data, uint32_t length,
                                      uint32_t type);
/* Starts programming the flash with `value` and polls the progress once a second until the
 * callback has seen `target` (without a callback: for the full 180 s). 0 on success, -2 when
 * the command or the last poll failed. */
ZELIR_API int32_t ZelIr_UpgradeFireware(ZelIrHandle handle, uint32_t value, uint32_t target);
/* Sends the bad points of `map` (int16_t per pixel, width x height; >= 1 marks a bad point)
 * as (column, row) pairs. Returns the number of bad points found; `unused` is not read. */
ZELIR_API int32_t ZelIr_TransmitBadPointFile(ZelIrHandle handle, const void* map, uint32_t unused);

/* ---------------------------------------------------------------------------------------------
 * Camera configuration and temperature conversion.
 * ------------------------------------------------------------------------------------------- */
/* The camera's configuration block, unpacked (192 bytes). Field names give the offset of the
 * camera's reply they come from; the model rules fill 116..149. */
typedef struct ZELIR_PACKED CameraConfig {
    char model[16];       /* 0: text, not terminated when all 16 are used */
    uint8_t reply92[16];  /* 16 */
    char text108[16];     /* 32 */
    uint8_t reply124[16]; /* 48 */
    uint8_t reply140[16]; /* 64 */
    uint32_t wordB;       /* 80: reply offset 68 */
    uint32_t wordC;       /* 84: reply offset 72 */
    uint32_t word60;      /* 88 */
    uint16_t value36;     /* 92 */
    uint16_t value38;     /* 94 */
    uint16_t value40;     /* 96 */
    uint16_t value42;     /* 98 */
    uint16_t value28;     /* 100 */
    uint16_t value192;    /* 102 */
    uint16_t value34;     /* 104 */
    uint16_t value32;     /* 106 */
    uint16_t value44;     /* 108 */
    uint16_t value46;     /* 110 */
    uint16_t value48;     /* 112 */
    uint16_t log2Value58; /* 114: rounded log2 of the value at reply offset 58 */
    uint16_t optionS;     /* 116 */
    uint16_t countL;      /* 118 */
    uint16_t listL[4];    /* 120 */
    uint16_t optionM;     /* 128 */
    uint16_t countN;      /* 130 */
    uint16_t listN[4];    /* 132 */
    uint16_t optionP;     /* 140 */
    uint16_t flagF1;      /* 142 */
    uint16_t valueF2;     /* 144 */
    uint16_t flagF3;      /* 146 */
    uint16_t flagF4;      /* 148 */
    uint16_t zero150;     /* 150 */
    int32_t value52;      /* 152: 0 when outside -100000 .. 100000 */
    uint16_t zero156;     /* 156 */
    uint16_t value172;    /* 158 */
    uint8_t reply174[8];  /* 160 */
    uint8_t zero168[24];  /* 168 */
} CameraConfig;

ZELIR_STATIC_ASSERT(sizeof(CameraConfig) == 192, "CameraConfig size");
#define ZELIR_CHECK_CONFIG(field, offset) \
    ZELIR_STATIC_ASSERT(offsetof(CameraConfig, field) == offset, #field " offset")
ZELIR_CHECK_CONFIG(model, 0);
ZELIR_CHECK_CONFIG(reply92, 16);
ZELIR_CHECK_CONFIG(text108, 32);
ZELIR_CHECK_CONFIG(reply124, 48);
ZELIR_CHECK_CONFIG(reply140, 64);
ZELIR_CHECK_CONFIG(wordB, 80);
ZELIR_CHECK_CONFIG(wordC, 84);
ZELIR_CHECK_CONFIG(word60, 88);
ZELIR_CHECK_CONFIG(value36, 92);
ZELIR_CHECK_CONFIG(value38, 94);
ZELIR_CHECK_CONFIG(value40, 96);
ZELIR_CHECK_CONFIG(value42, 98);
ZELIR_CHECK_CONFIG(value28, 100);
ZELIR_CHECK_CONFIG(value192, 102);
ZELIR_CHECK_CONFIG(value34, 104);
ZELIR_CHECK_CONFIG(value32, 106);
ZELIR_CHECK_CONFIG(value44, 108);
ZELIR_CHECK_CONFIG(value46, 110);
ZELIR_CHECK_CONFIG(value48, 112);
ZELIR_CHECK_CONFIG(log2Value58, 114);
ZELIR_CHECK_CONFIG(optionS, 116);
ZELIR_CHECK_CONFIG(countL, 118);
ZELIR_CHECK_CONFIG(listL, 120);
ZELIR_CHECK_CONFIG(optionM, 128);
ZELIR_CHECK_CONFIG(countN, 130);
ZELIR_CHECK_CONFIG(listN, 132);
ZELIR_CHECK_CONFIG(optionP, 140);
ZELIR_CHECK_CONFIG(flagF1, 142);
ZELIR_CHECK_CONFIG(valueF2, 144);
ZELIR_CHECK_CONFIG(flagF3, 146);
ZELIR_CHECK_CONFIG(flagF4, 148);
ZELIR_CHECK_CONFIG(zero150, 150);
ZELIR_CHECK_CONFIG(value52, 152);
ZELIR_CHECK_CONFIG(zero156, 156);
ZELIR_CHECK_CONFIG(value172, 158);
ZELIR_CHECK_CONFIG(reply174, 160);
ZELIR_CHECK_CONFIG(zero168, 168);
#undef ZELIR_CHECK_CONFIG

/* Asks the camera for its configuration block (id 1913) and unpacks it; 1 when filled. The
 * record is all zero after a reply whose identifier is not 2049 or 2050. */
ZELIR_API int32_t ZelIr_GetCameraConfig(ZelIrHandle handle, CameraConfig* config);
/* Detector temperature-sensor reading <-> degrees Celsius (linear model; 27.0 C = 19263.16). */
ZELIR_API float ZelIr_640V1_ADtoT(float ad);
ZELIR_API float ZelIr_640V1_TtoAD(float t);

/* ---------------------------------------------------------------------------------------------
 * Temperatures in degrees Celsius.
 *
 * A camera's response to the radiance of what it sees, in digit values after the two-point
 * correction:  digits = R / (exp(B / T) - F) + O  with T in kelvin. The radiance reaching the
 * camera is  tau * (eps * L(T_obj) + (1 - eps) * L(T_refl)) + (1 - tau) * L(T_atm),  where L(T)
 * is R / (exp(B / T) - F); the conversion solves it for T_obj. Digit values that give no
 * temperature (below the response's floor, or outside the measuring range) convert to NaN.
 *
 * Movie recordings (ZelIr_StartRecordMovie) and saved combined images (ZelIr_SaveCurrImage,
 * ZelIr_SaveCurrImageV1D7) get a companion file "<path>.rad" with the handle's constants and
 * object parameters; opening a movie or image file reads its companion, so played-back frames
 * give the same temperatures. Saving from a handle without constants removes a stale one.
 * ------------------------------------------------------------------------------------------- */

/* Radiometric constants of a camera and its measuring range (24 bytes). */
typedef struct ZELIR_PACKED ZelIrRadiometry {
    float r;          /* R, digit values; > 0 */
    float b;          /* B, kelvin; > 0 */
    float f;          /* F; exp(B / T) - F must stay positive over the range */
    float o;          /* O, digit values */
    float minCelsius; /* measuring range; temperatures outside it are NaN */
    float maxCelsius;
} ZelIrRadiometry;

/* What lies between the camera and the object (16 bytes). */
typedef struct ZELIR_PACKED ZelIrObjectParams {
    float emissivity;        /* (0, 1], default 1 */
    float reflectedCelsius;  /* temperature of the surroundings the object reflects, default 20 */
    float transmission;      /* of the atmosphere, (0, 1], default 1 */
    float atmosphereCelsius; /* default 20 */
} ZelIrObjectParams;

/* Statistics of a rectangle or a line (36 bytes). Pixels without a temperature are left out;
 * positions are those of the first minimum and maximum in scan order. */
typedef struct ZELIR_PACKED ZelIrTempStats {
    float minCelsius;
    float maxCelsius;
    float meanCelsius;
    int32_t minX, minY;
    int32_t maxX, maxY;
    uint32_t pixels; /* pixels with a temperature */
    uint32_t total;  /* pixels in the region */
} ZelIrTempStats;

ZELIR_STATIC_ASSERT(sizeof(ZelIrRadiometry) == 24, "ZelIrRadiometry layout");
ZELIR_STATIC_ASSERT(offsetof(ZelIrRadiometry, minCelsius) == 16, "ZelIrRadiometry layout");
ZELIR_STATIC_ASSERT(sizeof(ZelIrObjectParams) == 16, "ZelIrObjectParams layout");
ZELIR_STATIC_ASSERT(sizeof(ZelIrTempStats) == 36, "ZelIrTempStats layout");
ZELIR_STATIC_ASSERT(offsetof(ZelIrTempStats, minX) == 12, "ZelIrTempStats layout");
ZELIR_STATIC_ASSERT(offsetof(ZelIrTempStats, pixels) == 28, "ZelIrTempStats layout");

/* Sets the constants of a handle (R > 0, B > 0, finite values, minCelsius < maxCelsius, a
 * response that rises over the whole range); 0 for anything else, the handle keeps its
 * constants. A camera keeps them in the data directory as radiometry_<serial>.cal (with the
 * object parameters) and finds them again at the next open; files of another camera or damaged
 * ones are ignored with a debug message. */
ZELIR_API int32_t ZelIr_SetRadiometry(ZelIrHandle handle, const ZelIrRadiometry* constants);
/* Copies the handle's constants out; 0 when it has none. */
ZELIR_API int32_t ZelIr_GetRadiometry(ZelIrHandle handle, ZelIrRadiometry* constants);
/* Sets the object parameters; 0 (nothing changed) for an emissivity or transmission outside
 * (0, 1] or a temperature that is not finite or below absolute zero. */
ZELIR_API int32_t ZelIr_SetObjectParams(ZelIrHandle handle, const ZelIrObjectParams* params);
ZELIR_API int32_t ZelIr_GetObjectParams(ZelIrHandle handle, ZelIrObjectParams* params);

/* Blackbody calibration. Shows the source `frames` new frames (1..1000, fetched as
 * ZelIr_GetNewArray does, so with the correction when it is on) of a uniform blackbody at
 * `celsius` and keeps the mean digit value of the centre half of the frames as one reference.
 * 0 when no frames arrive (2 s per frame) or an argument is out of range. */
ZELIR_API int32_t ZelIr_AddBlackbodyReference(ZelIrHandle handle, float celsius, uint32_t frames);
/* Fits R, B, F and O to the references taken so far (at least three, temperatures and digit
 * values both rising), sets them as ZelIr_SetRadiometry does (measuring range -50..650 C) and
 * copies them out (`constants` may be null). The references are kept until
 * ZelIr_ClearBlackbodyReferences. 0 when the references cannot be fitted. */
ZELIR_API int32_t ZelIr_FitRadiometry(ZelIrHandle handle, ZelIrRadiometry* constants);
ZELIR_API int32_t ZelIr_ClearBlackbodyReferences(ZelIrHandle handle);

/* The current frame in degrees Celsius: width x height floats, row-major, NaN where a pixel
 * has no temperature. 0 without constants, without a 16-bit frame, or for a null pointer. The
 * conversion goes through a 65,536-entry table that is rebuilt only when a parameter changes. */
ZELIR_API int32_t ZelIr_GetTempArray(ZelIrHandle handle, float* celsius);
/* One pixel of the current frame in degrees Celsius; NaN when there is none. */
ZELIR_API float ZelIr_GetTempVal(ZelIrHandle handle, int16_t x, int16_t y);
/* A digit value in degrees Celsius with the handle's parameters; NaN when there is none. */
ZELIR_API float ZelIr_DigitToTemp(ZelIrHandle handle, uint16_t digit);
/* Statistics of the rectangle at (x, y) of w x h pixels, which must lie inside the frame, or of
 * the line from (x0, y0) to (x1, y1) (both ends inside, every pixel on it once). 1 when at least
 * one pixel has a temperature; 0 otherwise, with NaN in the temperatures and zero counts. */
ZELIR_API int32_t ZelIr_GetRectTemp(ZelIrHandle handle, int32_t x, int32_t y, int32_t w, int32_t h,
                                    ZelIrTempStats* stats);
ZELIR_API int32_t ZelIr_GetLineTemp(ZelIrHandle handle, int32_t x0, int32_t y0, int32_t x1,
                                    int32_t y1, ZelIrTempStats* stats);

/* ---------------------------------------------------------------------------------------------
 * S-record conversion.
 * ------------------------------------------------------------------------------------------- */

/* One S-record line in decoded form. */
typedef struct SrecRecord {
    uint8_t type;      /* the digit after "S", 0..9 */
    uint32_t address;  /* 16, 24 or 32 bits wide by type */
    uint8_t length;    /* number of data bytes */
    uint8_t data[259]; /* the data bytes */
} SrecRecord;

ZELIR_STATIC_ASSERT(sizeof(SrecRecord) == 268, "SrecRecord layout");
ZELIR_STATIC_ASSERT(offsetof(SrecRecord, address) == 4, "SrecRecord layout");
ZELIR_STATIC_ASSERT(offsetof(SrecRecord, length) == 8, "SrecRecord layout");
ZELIR_STATIC_ASSERT(offsetof(SrecRecord, data) == 9, "SrecRecord layout");

/* Error codes of DecodeSrec and EncodeSrec (0 is success). */
#define SREC_ERROR_MISSING (-1)    /* record, line or text buffer is null */
#define SREC_ERROR_SHORT_LINE (-2) /* under 4 characters, or not starting with "S" */
#define SREC_ERROR_NOT_HEX (-3)    /* a character after the "S" is not a hex digit */
#define SREC_ERROR_TYPE (-4)       /* type above 9, or S4 / S6 */
#define SREC_ERROR_NO_ADDRESS (-5) /* line too short for its address and count */
#define SREC_ERROR_TOO_LONG (-6)   /* more than 32 data bytes to encode */
#define SREC_ERROR_LENGTH (-7)     /* line length differs from byte count x 2 + 4 */
#define SREC_ERROR_CHECKSUM (-8)   /* checksum wrong */

/* Size of the text buffer EncodeSrec needs: the longest line (78), its newline and a NUL. */
#define SREC_LINE_BUFFER_SIZE 80
/* Largest binary image of one S-record file; a file with more S3 data is refused. */
#define SREC_IMAGE_CAPACITY 0x300000u

/* Decodes one line (it may end in CR or LF). 0, or an SREC_ERROR_* code; on error the record
 * is left unchanged. */
ZELIR_API int32_t DecodeSrec(SrecRecord* record, const char* line);
/* Writes one line with a trailing newline into `text` (SREC_LINE_BUFFER_SIZE bytes). 0, or
 * SREC_ERROR_MISSING, SREC_ERROR_TYPE or SREC_ERROR_TOO_LONG. */
ZELIR_API int32_t EncodeSrec(const SrecRecord* record, char* text);

/* Converts an S-record file to a binary image: the data of its S3 records in file order, gaps
 * between records closed up. `start` (may be null) receives the address of the first S3 record,
 * 0xFFFFFFFF when there is none. `image` (may be null) receives the image, which the caller
 * gives back with ZelIr_FreeSrecImage. When `binPath` is not null the image is also written
 * there. Returns the image length; an unreadable file gives 0. A file holding more than
 * SREC_IMAGE_CAPACITY bytes of S3 data is refused: 0, a null image and no binary file. */
ZELIR_API size_t SrecToBin(const char* srecPath, uint32_t* start, uint8_t** image,
                           const char* binPath);
/* Converts a hardware and a software part (both named *.flash) to one image: the hardware image
 * directly followed by the software image. Each part is also written beside its S-record file
 * as *.bin. The hardware part must end at or before the start of the software part. `start`
 * receives the hardware start address; `image` and `binPath` as for SrecToBin. Returns the
 * combined length, 0 on failure (a name without ".flash", misordered or overlapping parts, a
 * refused part). */
ZELIR_API size_t SrecCombinedToBin(const char* hardwarePath, const char* softwarePath,
                                   uint32_t* start, uint8_t** image, const char* binPath);
/* SrecCombinedToBin behind the usual handle argument, which is not used. */
ZELIR_API uint32_t ZelIr_SrecCombinedToBin(ZelIrHandle handle, const char* hardwarePath,
                                           const char* softwarePath, uint32_t* start,
                                           uint8_t** image, const char* binPath);
/* Gives back an image handed out by SrecToBin or SrecCombinedToBin; null is ignored. */
ZELIR_API void ZelIr_FreeSrecImage(uint8_t* image);

/* ---------------------------------------------------------------------------------------------
 * Extensions for tools: the display choices by name, what a file holds, lossless recording.
 * ------------------------------------------------------------------------------------------- */
/* One entry of a list of choices: the number an export takes and its name (UTF-8, static). */
typedef struct ZelIrChoice {
    int32_t value;
    const char* name;
} ZelIrChoice;

#define ZELIR_CHOICES_PALETTES 0u        /* ZelIr_SetPalette indexes */
#define ZELIR_CHOICES_BRIGHT_CONTRAST 1u /* ZelIr_SetBrihgtContrastType types (no aliases) */
/* Copies at most `capacity` entries of list `kind` into `entries` (may be null) and returns the
 * length of the list; -1 for an unknown kind. */
ZELIR_API int32_t ZelIr_GetDisplayChoices(uint32_t kind, ZelIrChoice* entries, int32_t capacity);

/* 1 when the handle's parameter-line fields (serial, model, frame id, temperatures...) come from
 * its source: a camera's frame, a movie's first frame, a combined image. 0 when the source holds
 * none and the fields are defaults (bare raw images, movies recorded without lines). */
ZELIR_API int32_t ZelIr_HasRecordedParameterLine(ZelIrHandle handle);

/* What a movie file holds, as opposed to what playback shows (24 bytes). */
typedef struct ZelIrMovieFacts {
    uint32_t headerFrames;  /* frame count the header states (0: never finished) */
    uint32_t wholeFrames;   /* complete frames behind the header */
    uint32_t trailingBytes; /* bytes of a cut-off frame after the last complete one */
    uint32_t durationMs;    /* recording time the header states */
    float frameRate;        /* headerFrames / duration; 0 when the header has no duration */
    uint32_t finished;      /* 1 when the recording was stopped and its header completed */
} ZelIrMovieFacts;
ZELIR_STATIC_ASSERT(sizeof(ZelIrMovieFacts) == 24, "ZelIrMovieFacts layout");
/* Movie handles: fills `facts`; 1, or 0 for other handles. */
ZELIR_API int32_t ZelIr_MovieGetFacts(ZelIrHandle handle, ZelIrMovieFacts* facts);

/* A raw movie written from frames the application hands over (from the frame callback, through
 * its own queue), in the format ZelIr_StartRecordMovie writes. One writer is used by one thread
 * at a time. */
typedef struct ZelIrMovieWriter ZelIrMovieWriter;
/* Creates `path` for frames of `source`'s geometry and source tag, with the radiometric companion
 * "<path>.rad" when the source has constants. Null when the file cannot be created. */
ZELIR_API ZelIrMovieWriter* ZelIr_MovieWriterOpen(ZelIrHandle source, const wchar_t* path);
/* Appends one frame of width x height 16-bit digits; `bytes` must be exactly that size.
 * 1 written, 0 refused (wrong size) or not written (disk full...). */
ZELIR_API int32_t ZelIr_MovieWriterAppend(ZelIrMovieWriter* writer, const void* frame,
                                          uint32_t bytes);
/* Completes the header (stop time, frame count, duration, geometry), closes the file and frees
 * the writer; 1 when every byte reached the file. Null is ignored (0). */
ZELIR_API int32_t ZelIr_MovieWriterClose(ZelIrMovieWriter* writer);

#endif /* ZELIR_ZELIR_H */
