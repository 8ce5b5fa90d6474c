/*
 * dbfengine.h -- public C interface of libdbfengine, a read-only xBase (DBF)
 * database engine with its own multi-tag index format (MTX).
 *
 * General rules
 * -------------
 * - Every call acts on the CURRENT WORK AREA chosen with dbe_Select. A call on
 *   a closed or unknown work area, or with a NULL pointer, never crashes: it
 *   answers 0, false, an empty text "" or does nothing, and records an error
 *   (see "Errors" below).
 * - Booleans (dbe_bool) are returned non-zero for true and are passed as -1
 *   (true) or 0 (false); any non-zero value passed counts as true.
 * - Texts returned as const char* point into engine-owned storage that stays
 *   valid until the next engine call. Copy them if you need them longer.
 *   They are never NULL.
 * - Table bytes pass through unchanged: a CP949 table gives CP949 text.
 * - Tables are never written: the three open modes share one read path.
 * - Field names are compared case-insensitively.
 * - Every byte of every file (table, memo, MTX index, and the files the
 *   writers make) passes through one I/O layer, dbe_io below; the default one
 *   is the operating system's.
 *
 * Reading
 * -------
 * Opening a table reads its header and field list only; records are read
 * from the file when they are asked for (see dbe_SetReadCache), so an open
 * table costs the same time and memory whatever its size, and what stays
 * cached of a table is the system's page cache. A record that the file no
 * longer holds (it was cut, or a read failed) reads as blanks, like the
 * position at end of file, and records DBE_E_READ; the record count and the
 * field list stay as they were at open, and nothing faults. An MTX index is
 * read the same way (see dbe_IndexOpen). Bytes that another process rewrites
 * in place are read as they are when they are read; records already read
 * ahead (dbe_SetReadCache) stay as they were read until the switch is next
 * set.
 *
 * Positions
 * ---------
 * Records are numbered 1..dbe_RecCount(). The area always stands on one
 * position:
 * - on a record 1..RecCount (Eof and Bof false unless set by a move below);
 * - at END OF FILE: dbe_RecNo() answers RecCount + 1, dbe_Eof() is true and the
 *   record reads as blank (spaces, deletion flag ' ', dbe_GetString gives
 *   blanks at the field's width).
 * Navigation (GoTop, GoBottom, Skip) visits only VISIBLE records: those in the
 * query set when one is in force, not deleted when dbe_SetDeleted is on, in the
 * order of the current index order (physical order with order 0).
 * - dbe_GoTop / dbe_GoBottom with no visible record: end of file, and both
 *   dbe_Eof and dbe_Bof are true.
 * - dbe_Skip(n) past the last visible record: end of file (Eof true).
 * - dbe_Skip(-n) before the first visible record: the area stays on the first
 *   visible record and dbe_Bof is true (the xBase way).
 * - dbe_Go(n) goes to physical record n whether it is visible or not; n outside
 *   1..RecCount goes to end of file (with dbe_Bof true as well when no record
 *   is visible at all, as after dbe_GoTop). No read ever leaves the file.
 * - Every move clears Eof and Bof first, then sets them as above.
 *
 * Errors
 * ------
 * Failing calls record an error code (DBE_E_*) readable with dbe_Error and a
 * message readable with dbe_ErrorText. dbe_ErrorLevel chooses whether the
 * message is also written to stderr. Successful calls leave the recorded code
 * alone; dbe_ClearError resets it.
 */
#ifndef DBFENGINE_H
#define DBFENGINE_H

#include <stdint.h>

/* Version of this header; dbe_Version and dbe_VersionNumber answer the
 * loaded library's. The shared library's SONAME carries the major number. */
#define DBFENGINE_VERSION_MAJOR 1
#define DBFENGINE_VERSION_MINOR 2
#define DBFENGINE_VERSION_PATCH 0
#define DBFENGINE_VERSION "1.2.0"
#define DBFENGINE_VERSION_NUMBER \
  (DBFENGINE_VERSION_MAJOR * 10000 + DBFENGINE_VERSION_MINOR * 100 + DBFENGINE_VERSION_PATCH)

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define DBE_API __attribute__((visibility("default")))
#else
#define DBE_API
#endif

typedef int16_t dbe_bool;

/* Error codes answered by dbe_Error. */
#define DBE_OK 0
#define DBE_E_NO_AREA 1      /* no work area selected, or it is closed */
#define DBE_E_ARGUMENT 2     /* NULL pointer or value out of range */
#define DBE_E_OPEN 3         /* file missing or cannot be opened */
#define DBE_E_NOT_DBF 4      /* file is not a DBF table */
#define DBE_E_CORRUPT 5      /* inconsistent header or field list */
#define DBE_E_LOCKED 6       /* shared/exclusive open conflict */
#define DBE_E_TOO_MANY 7     /* no free work area */
#define DBE_E_ALIAS 8        /* alias already in use or invalid */
#define DBE_E_NO_FIELD 9     /* field name or number unknown */
#define DBE_E_SYNTAX 10      /* expression does not parse */
#define DBE_E_TYPE 11        /* expression has the wrong type */
#define DBE_E_INDEX 12       /* index file missing, not MTX, or corrupt */
#define DBE_E_INDEX_STALE 13 /* index file does not belong to this table */
#define DBE_E_NO_ORDER 14    /* order number out of range */
#define DBE_E_PASSWORD 15    /* wrong password for a scrambled table */
#define DBE_E_WRITE 16       /* an output file could not be written */
/* Warning: the header's record count exceeds the file; the records present
 * are used. */
#define DBE_E_SHORT 17
#define DBE_E_TRUNCATED 18 /* the file ends inside its header or field list */
/* A record, memo or index block that the file no longer holds, or whose read
 * failed; the call answers as documented for that case. */
#define DBE_E_READ 19

/* Expression type codes answered by dbe_EvalTest. */
#define DBE_TYPE_CHARACTER 1
#define DBE_TYPE_NUMERIC 2
#define DBE_TYPE_LOGICAL 3
#define DBE_TYPE_DATE 4
#define DBE_TYPE_SYNTAX_ERROR (-1) /* does not parse (also the empty text) */
#define DBE_TYPE_UNKNOWN_NAME (-2) /* names a missing field or function */
#define DBE_TYPE_MISMATCH (-3)     /* operands of the wrong type */

/* ---------------------------------------------------------------- work areas
 */

/* Work area holding the table opened under `alias` (case-insensitive);
 * 0 when none or alias is NULL. */
DBE_API int16_t dbe_WorkArea(const char* alias);

/* Opens the DBF table at `path` in a new work area and makes it current.
 * alias:  name of the area (letters, digits, '_', up to 10 characters); NULL or
 *         "" takes the file name without extension, upper-cased.
 * mode:   0 shared, 1 read-only (both take a shared lock on the file), 2
 *         exclusive (refused while anyone holds the file open, and keeps
 *         others out). The engine never writes a table in any mode.
 * driver: 1 NTX, 2 FOX, 3 MTX, 4 MTX+DBT. With 3 and 4 the production index
 *         (the table's path with extension .MTX, also tried as .mtx) is
 *         opened with the table when it exists; a corrupt production index
 *         records DBE_E_INDEX and leaves the table open without it. NTX/FOX
 *         index files cannot be read by this engine.
 * commit: 0 full, 1 normal, 2 none; stored only (nothing is ever written).
 * Result: the work area number (>= 1), or 0 on failure with the error
 * recorded: DBE_E_OPEN, DBE_E_NOT_DBF, DBE_E_TRUNCATED (the file ends inside
 * its header or field list), DBE_E_CORRUPT (field list inconsistent: no
 * terminator, a bad descriptor, widths not adding up to the record size),
 * DBE_E_LOCKED, DBE_E_ALIAS, DBE_E_TOO_MANY, DBE_E_ARGUMENT. A header record
 * count beyond the file's size (a file cut inside its records) opens with the
 * complete records present (warning DBE_E_SHORT); a missing memo file opens without it (warning
 * DBE_E_OPEN, see dbe_GetMemo). The new area stands on its first visible record, in order 0 (also
 * when the production index is opened), with no query set. Only the header and the field list are
 * read at open (see "Reading" above); a read that fails at open is DBE_E_OPEN, a file that ends
 * inside its header DBE_E_TRUNCATED. A path that names a folder or another file that is not a
 * regular file is DBE_E_OPEN. */
DBE_API int16_t dbe_UseEx(const char* path, const char* alias, int16_t mode, int16_t driver,
                          int16_t commit);

/* Makes `area` current; answers the previously current area (0 if none).
 * An unknown or closed area number is still accepted as current: later calls
 * then answer as on a closed area. */
DBE_API int16_t dbe_Select(int16_t area);

/* Alias of `area`, "" when it is not open. */
DBE_API const char* dbe_Alias(int16_t area);

/* Closes the current work area with its indexes and query set. */
DBE_API void dbe_Close(void);

/* ------------------------------------------------------------------ settings
 * Each returns the previous value. All but the password are process-wide. */

/* 0: errors are only recorded; 1 (default): also one line on stderr per
 * error; 2: warnings too. Negative values are taken as 0. */
DBE_API int16_t dbe_ErrorLevel(int16_t level);

/* Read-ahead switch, process-wide, for the records that navigation and the
 * reading calls visit. On (default): a walk (a record next to the last one
 * read) reads records a block at a time (about 128 KiB of whole records,
 * aligned on the table), and the last few blocks are kept, so a walk in
 * either direction costs one read per block, while a jump outside the blocks
 * kept reads its record alone. Off: each record is read alone when it is
 * first visited (the last one is kept). Scans the engine runs itself over
 * every record (dbe_Query, dbe_Count with SetDeleted on, dbe_IndexCreate,
 * dbe_ScrambleTable) always read blocks. Every call, on or off, forgets the
 * records read so far in every area, so that the reads after it see the file
 * as it is then. What is read never differs. */
DBE_API dbe_bool dbe_SetReadCache(dbe_bool on);

/* OEM/ANSI translation switch. Text always passes unchanged: this engine's
 * tables (CP949 and other ANSI/multi-byte code pages) need no translation, so
 * the switch is stored and reported only. Default off. */
DBE_API dbe_bool dbe_SetTranslate(dbe_bool on);

/* Password of the current area's scrambled table. With the right password
 * records read in clear; a wrong one records DBE_E_PASSWORD and records read
 * as stored (scrambled). NULL or "" forgets the password. No effect on a table
 * that is not scrambled. */
DBE_API void dbe_SetPassword(const char* password);

/* 1 (default): texts are zero-terminated C strings, the only kind this engine
 * produces. Other values record DBE_E_ARGUMENT and change nothing. */
DBE_API int16_t dbe_SetStringType(int16_t type);

/* Selects machine (byte-value) collation for comparisons and index keys; this
 * engine compares bytes unsigned. Answers the previous collation: 1 machine. */
DBE_API int16_t dbe_SetMachineCollation(void);

/* Base year for two-digit years in CTOD and date literals: yy < epoch%100
 * belongs to the next century of epoch. Default 1950. */
DBE_API int16_t dbe_SetEpoch(int16_t year);

/* On: deleted records are invisible to navigation and queries. Default off. */
DBE_API dbe_bool dbe_SetDeleted(dbe_bool on);

/* On: dates are shown with four-digit years by DTOC. Default off. */
DBE_API dbe_bool dbe_SetCentury(dbe_bool on);

/* Memo block size used for memo files whose header gives none (default 512);
 * values below 1 are refused (DBE_E_ARGUMENT). */
DBE_API int16_t dbe_SetMemoBlockSize(int16_t size);

/* Date format of DTOC and CTOD: 0 American mm/dd/yy (default), 1 ANSI
 * yy.mm.dd, 2 British dd/mm/yy, 3 French dd/mm/yy, 4 German dd.mm.yy, 5
 * Italian dd-mm-yy, 6 Spanish dd/mm/yy, 7 USA mm-dd-yy, 8 Japan yy/mm/dd. */
DBE_API int16_t dbe_SetDateFormat(int16_t format);

/* On: dbe_Seek that finds no key stands on the next greater key instead of
 * end of file. Default off. */
DBE_API dbe_bool dbe_SetSoftSeek(dbe_bool on);

/* Off (default): character "=" is true when the left text begins with the
 * right one ("" on the right matches anything; a shorter left text counts as
 * padded with blanks). On: both sides must be equal apart from trailing
 * blanks. "==" is independent of the setting: same length, same bytes. */
DBE_API dbe_bool dbe_SetExact(dbe_bool on);

/* Properties: 3000 number of orders of the current area, 3001 current order,
 * 3002 1 when the current order is descending (else 0), 3003 the record count
 * stored in the table's header (above dbe_RecCount when the file was cut
 * inside its records, see dbe_UseEx). `value` is not used and may be NULL.
 * Unknown property: -1 and DBE_E_ARGUMENT. */
DBE_API int32_t dbe_SysProp(uint16_t property, void* value);

/* ----------------------------------------------------------------- structure
 */

/* Non-zero when the current table is scrambled (header encryption flag). */
DBE_API dbe_bool dbe_IsEncrypted(int16_t reserved);

DBE_API int16_t dbe_FieldCount(void); /* number of fields */
DBE_API int32_t dbe_RecSize(void);    /* record bytes including deletion flag */
DBE_API int32_t dbe_RecCount(void);   /* physical records present */

/* Name of field 1..FieldCount; "" and DBE_E_NO_FIELD out of range. */
DBE_API const char* dbe_FieldName(int16_t index);

/* Type letter of the field: "C","N","F","D","L","M","I","B","G","P", or any
 * other letter found in the table (its bytes are kept raw); "" if unknown. */
DBE_API const char* dbe_FieldType(const char* name);

/* Position of the field's first byte in the raw record (dbe_GetRecord),
 * counted from 1 with the deletion flag as position 1: the first field answers
 * 2, and its byte index in the record is the answer minus 1. Read the answer
 * as unsigned 16-bit (records reach 65535 bytes). 0 if unknown. */
DBE_API int16_t dbe_FieldOffset(const char* name);
DBE_API int16_t dbe_FieldWidth(const char* name);    /* bytes; 0 if unknown */
DBE_API int16_t dbe_FieldDecimals(const char* name); /* 0 if unknown */

/* Engine name and version of the loaded library: "dbfengine " followed by
 * its DBFENGINE_VERSION, e.g. "dbfengine 1.2.0". */
DBE_API const char* dbe_Version(void);
/* DBFENGINE_VERSION_NUMBER of the loaded library (10200 for 1.2.0). */
DBE_API int32_t dbe_VersionNumber(void);

/* Date of the last update stated in the current table's header, as
 * "YYYYMMDD" (header bytes 1..3: years since 1900, month, day); "" on a
 * closed area or when the header holds no valid date. The record count the
 * header states is dbe_SysProp(3003); dbe_RecCount gives the records the
 * file holds. */
DBE_API const char* dbe_LastUpdate(void);

/* ---------------------------------------------------------------- navigation
 * See "Positions" above. */
DBE_API void dbe_GoTop(void);
DBE_API void dbe_GoBottom(void);
DBE_API void dbe_Skip(int32_t count); /* 0 re-reads the current position */
DBE_API void dbe_Go(int32_t recno);
DBE_API int32_t dbe_RecNo(void); /* 0 on a closed area */
DBE_API dbe_bool dbe_Eof(void);  /* true on a closed area */
DBE_API dbe_bool dbe_Bof(void);  /* true on a closed area */

/* ------------------------------------------------------------------- reading
 */

/* Copies the current raw record into `buffer`: exactly dbe_RecSize() bytes
 * (deletion flag '*' or ' ', then the fields as stored), nothing after them.
 * Scrambled tables come in clear after the right password. At end of file:
 * blanks. NULL buffer or closed area: nothing is written. */
DBE_API void dbe_GetRecord(char* buffer);

/* Text of the field at its full width. C, N, F, D, L and the ten-byte memo
 * references (M, G, P, B of dBASE) come as stored; binary fields (I, VFP B/M/G/
 * P/Y/T with 4- or 8-byte width) come as text: I as a right-aligned integer of
 * 11 characters, B as a number of 20 characters, others as hex digits. Unknown
 * field: "" (DBE_E_NO_FIELD). */
DBE_API const char* dbe_GetString(const char* field);

/* Contents of memo field `field` (M, G, P; dBASE B of width 10) of the
 * current record, read from the memo file opened with the table (.DBT for
 * dBASE tables, .FPT for FoxPro ones; a missing one is recorded as the
 * warning DBE_E_OPEN at open). Copies up to `size` bytes into `buffer`, adds
 * no terminator, and answers the memo's full length: 0 for an empty memo or
 * at end of file, -1 on error (DBE_E_NO_FIELD, DBE_E_TYPE for another field
 * type, DBE_E_OPEN without memo file, DBE_E_CORRUPT for a block outside the
 * memo file, DBE_E_READ when a read fails, DBE_E_ARGUMENT). `buffer` may
 * be NULL with size 0 to ask for the length only. Memo files are never
 * scrambled. */
DBE_API int32_t dbe_GetMemo(const char* field, char* buffer, int32_t size);

/* Non-zero when the current record carries the deletion flag. */
DBE_API dbe_bool dbe_Deleted(void);

/* -------------------------------------------------------------------- orders
 * Orders are numbered from 1 across all open index files, in the order they
 * were opened, tag by tag; order 0 is the physical (record number) order. */

/* Makes `order` (0..count) current without moving off the current record;
 * answers the previous order. Out of range: DBE_E_NO_ORDER, order unchanged,
 * and the answer is still the current order. */
DBE_API int16_t dbe_SetOrder(int16_t order);
DBE_API int16_t dbe_IndexOrd(void); /* current order, 0 = physical */

/* Place of the current record in the current order: k/N where k (1..N) is its
 * position among the N entries of the order (with order 0: k = recno, N =
 * RecCount), rounded up just enough that trunc(value * N) == k. 0 at end of
 * file, on an empty order or on a record the order does not hold. */
DBE_API double dbe_OrderPosGet(void);

/* Goes to entry k = ceil(position * N) of the current order, clamped to
 * 1..N; when that record is not visible, on to the next visible one (else the
 * previous one, else end of file). */
DBE_API void dbe_OrderPosSet(double position);

/* Opens an MTX index file for the current area; its tags become the next
 * orders. The current order does not change. Answers the order number of its
 * first tag, 0 on failure (DBE_E_INDEX: missing, not MTX, corrupt, of the
 * older format 1 (build it again), or a read that failed; DBE_E_INDEX_STALE:
 * built for another table or record count). A file already open answers its
 * first order again. Only the file's directory is read at open; its entries
 * are read a block at a time when a walk or a seek reaches them and checked
 * then: a block that fails its check (DBE_E_INDEX) or can no longer be read
 * (DBE_E_READ) is recorded at each use and its entries are passed over (a
 * seek whose search meets it may miss its key). */
DBE_API int16_t dbe_IndexOpen(const char* file);

/* Closes every index of the current area (also the production index); the
 * current order becomes 0. */
DBE_API void dbe_CloseIndexes(void);

DBE_API const char* dbe_IndexName(int16_t order); /* path of the order's file */
DBE_API const char* dbe_TagName(int16_t order);   /* tag name, upper case */
DBE_API int16_t dbe_TagArea(const char* tag);     /* order of the tag, 0 if none */
DBE_API const char* dbe_IndexKey(void);           /* key expression, current order */

/* Field names the current key uses, separated by ';' in order of first use
 * (e.g. "NAME;CITY" for UPPER(NAME)+CITY); "" for order 0. */
DBE_API const char* dbe_IndexKeyField(void);

/* Kind of the current order: 0 none, 1 plain, 2 unique, 3 with condition,
 * 4 unique with condition. */
DBE_API int16_t dbe_IndexType(void);
DBE_API const char* dbe_IndexCondition(void); /* "" when none */

/* Looks `key` up in the current order (character keys: prefix match of the
 * given bytes; numeric and date keys: the text is converted). Found: stands on
 * the first matching visible entry, true. Not found: end of file, or with
 * SoftSeek on the next greater visible entry; false. */
DBE_API dbe_bool dbe_Seek(const char* key);

/* Describes one tag for dbe_IndexCreate. */
typedef struct dbe_tag_def {
  const char* name;      /* tag name, 1..10 characters */
  const char* key;       /* key expression (character, numeric, date, logical) */
  const char* condition; /* logical expression or NULL/"" for every record */
  dbe_bool unique;       /* keep only the first record of each key */
  dbe_bool descending;   /* entries in descending key order */
} dbe_tag_def;

/* Builds the MTX index file `path` with `count` tags (1..64) over every record
 * of the current area's table (deleted setting and query set do not matter).
 * The file is written as the writers below do (see "Writing files"). The file
 * is not opened. Answers the number of tags written, 0 on failure
 * (DBE_E_SYNTAX/DBE_E_TYPE for a bad key or condition, DBE_E_WRITE,
 * DBE_E_READ when a record cannot be read, DBE_E_ARGUMENT). */
DBE_API int16_t dbe_IndexCreate(const char* path, const dbe_tag_def* tags, int16_t count);

/* ----------------------------------------------------------------- query set
 * One bitmap per work area. "In force" means navigation visits only its
 * records. */

/* "" (or NULL) clears the set: every record is visible again; the area goes
 * to its first visible record and answers it (0 when none). A logical
 * expression is compiled once and evaluated on every record; the matches
 * (deleted ones left out when SetDeleted is on) become the set in force, even
 * when empty. Answers the first record of the set in the current order and
 * leaves the area on it; 0 when the set is empty (area at end of file). A bad
 * expression answers 0, records DBE_E_SYNTAX, DBE_E_NO_FIELD (missing field,
 * alias or function) or DBE_E_TYPE (not logical, operand types) and changes
 * nothing: the set in force and the position stay as they were. */
DBE_API int32_t dbe_Query(const char* expression);

/* 1 when `expression` compiles as logical so that dbe_Query serves it as a
 * bitmap; 0 otherwise. */
DBE_API int16_t dbe_QueryTest(const char* expression);

/* Number of records in the set in force; dbe_RecCount() when none is. */
DBE_API int32_t dbe_QueryRecCount(void);

/* Marks (true) or unmarks (false) record `recno` (1..RecCount, else
 * DBE_E_ARGUMENT). After a clear, the first mark puts a set in force that holds
 * exactly the marked records; it stays in force until the next dbe_Query, so a
 * set whose every mark was removed again shows no record. Unmarking before any
 * mark changes nothing. Marks after dbe_Query(expr) add to or remove from that
 * set. Does not move the area. */
DBE_API void dbe_SetQueryBit(int32_t recno, dbe_bool value);

/* dbe_SetQueryBit for each of count record numbers at recnos, in one call (a
 * search marks thousands). A number out of range records DBE_E_ARGUMENT and
 * is passed over; the others are marked all the same. Since 1.2.0. */
DBE_API void dbe_SetQueryBits(const int32_t* recnos, int32_t count, dbe_bool value);

/* Expression of the query in force; "" when none or when it was built with
 * marks only. */
DBE_API const char* dbe_DBFilter(void);

/* Number of visible records (query set, deleted setting). */
DBE_API int32_t dbe_Count(void);

/* --------------------------------------------------------------- expressions
 * Language: field names (also ALIAS->FIELD of the current area); "text",
 * 'text', [text]; numbers; .T. .F. .Y. .N.; dates {^yyyy-mm-dd} or {mm/dd/yy}
 * in the date format; + - * / % ** ^; ( ); = == <> != # < <= > >=; $ (left
 * contained in right); .AND. .OR. .NOT. and !; functions UPPER LOWER TRIM
 * RTRIM LTRIM ALLTRIM SUBSTR LEFT RIGHT LEN AT STR VAL DTOS DTOC CTOD DATE
 * RECNO DELETED IIF EMPTY SPACE REPLICATE ABS INT ROUND MIN MAX YEAR MONTH
 * DAY (four-letter abbreviations such as SUBS work). Text + text
 * concatenates, text - text moves the left side's trailing blanks to the end,
 * date + number adds days, date - date gives days; x / 0 gives 0. Texts
 * compare in unsigned byte order, the shorter padded with blanks. Texts built
 * by an expression are capped at 65535 bytes; nesting deeper than 200 levels
 * does not parse. UPPER, LOWER, $ and AT respect double-byte characters
 * (FORMAT.md). Each expression is compiled once and evaluated on the current
 * record (blank at end of file); the last one compiled per area is kept, so
 * repeating it does not parse again.
 * Numbers are IEEE doubles. ROUND(x, n) and STR(x, width, decimals) round
 * the number as written in decimal (its shortest form that reads back as the
 * same double, at most 17 significant digits) half away from zero: ROUND(1.005,
 * 2) is 1.01, ROUND(1/3, 15) 0.333333333333333, STR(0.1, 20, 18)
 * "0.100000000000000000". ROUND takes n from -400 to 400 (outside: the
 * nearest; past the 17th digit nothing changes). STR's width is 1..255 and
 * its decimals 0..width-2 (each clamped to that range); a number too wide is
 * width asterisks. The text of a computed number (dbe_EvalString, STR
 * without decimals) carries at most 15 decimals.
 * Dates lie from 0001-01-01 to 9999-12-31; a date moved outside that range
 * (date + days, date - days) is the empty date, as is CTOD of no valid date. */

/* Type code (DBE_TYPE_*): 1 character, 2 numeric, 3 logical, 4 date; -1 does
 * not parse, -2 names a missing field or function, -3 type mismatch. */
DBE_API int16_t dbe_EvalTest(const char* expression);

/* Value as text: character as is; numeric right-aligned, a field at its own
 * width and decimals, other numbers as STR() does (10 digits, plus the
 * decimals the expression carries); logical "T"/"F"; date as DTOS
 * (yyyymmdd, blanks when empty). "" on error. */
DBE_API const char* dbe_EvalString(const char* expression);
DBE_API double dbe_EvalNumeric(const char* expression);   /* 0 unless numeric */
DBE_API dbe_bool dbe_EvalLogical(const char* expression); /* false unless logical */

/* -------------------------------------------------------------------- errors
 */
DBE_API int32_t dbe_Error(void);         /* last recorded DBE_E_* code */
DBE_API const char* dbe_ErrorText(void); /* its message, "" when none */
DBE_API void dbe_ClearError(void);

/* ------------------------------------------------------------- writing files
 * dbe_IndexCreate and dbe_ScrambleTable write a new file beside the target,
 * under a name no one can guess (".NAME.tmp-" and random letters), sync it,
 * rename it over the target and sync the folder, so that the target is
 * either the old file or the whole new one, also after a crash; a failure
 * removes the new file and leaves the target as it was. A target that exists
 * and is not a regular file (a device, a FIFO, a folder) is refused with
 * DBE_E_WRITE and left alone; a symbolic link is followed, and the file it
 * names is replaced (a link to nothing is refused). The mode of a replaced
 * file is kept. */

/* ---------------------------------------------------------------- scrambling
 * Scrambling hides the records from casual reading; it is NOT protection:
 * the scheme is public (FORMAT.md) and the key space small. */

/* Writes a scrambled copy of the DBF table `source` to `target` using
 * `password` (1..32 bytes), as the writers do (see "Writing files"). Answers
 * true on success; DBE_E_OPEN/NOT_DBF/CORRUPT/READ/WRITE/ARGUMENT otherwise. */
DBE_API dbe_bool dbe_ScrambleTable(const char* source, const char* target, const char* password);

/* ------------------------------------------------------------------ I/O layer
 * Every file the engine reads or writes goes through one table of functions,
 * in the manner of SQLite's VFS. The default one works on the operating
 * system's files (pread, pwrite, fsync, flock, rename); a program or a test
 * may install its own, for example to count reads or to make them fail.
 * Error results are errno values (ENOENT, EACCES, EIO, ...), which the
 * engine turns into its DBE_E_* codes and messages. */

#define DBE_IO_VERSION 1
#define DBE_IO_READ 0   /* open: an existing regular file, for reading */
#define DBE_IO_CREATE 1 /* open: a new file, for writing; fails (EEXIST) when the name exists */

typedef struct dbe_io {
  int version; /* DBE_IO_VERSION */
  /* Opens `path` as `how` says; NULL on failure with *error set (EISDIR for a
   * folder, ENODEV for another file that is not a regular one). */
  void* (*open)(const char* path, int how, int* error);
  /* Size of the file now, in bytes; -1 with *error set on failure. */
  int64_t (*size)(void* file, int* error);
  /* Reads up to `count` bytes at `offset` into `buffer`: answers the bytes
   * read, fewer than `count` only where the file ends, or -1 with *error set.
   * The engine takes a short answer as the end of the file. */
  int64_t (*read)(void* file, void* buffer, int64_t count, int64_t offset, int* error);
  /* Writes `count` bytes at `offset`: 0, or an error. */
  int (*write)(void* file, const void* buffer, int64_t count, int64_t offset);
  /* Makes what was written durable: 0, or an error. */
  int (*sync)(void* file);
  /* Takes a shared (exclusive 0) or an exclusive lock on the whole file
   * without waiting: 0, EWOULDBLOCK when another holder excludes it, or
   * another error. NULL: files are not locked. */
  int (*lock)(void* file, int exclusive);
  void (*close)(void* file);
  /* Renames `from` to `to`, replacing `to`: 0, or an error. */
  int (*rename)(const char* from, const char* to);
  /* Removes the file `path`: 0, or an error. */
  int (*remove)(const char* path);
  /* Makes the last rename into the folder holding `path` durable: 0, or an
   * error. */
  int (*sync_folder)(const char* path);
} dbe_io;

/* Installs `io` for every file opened from now on (files already open keep
 * the layer they were opened with; the table must stay valid while any file
 * it opened is open). NULL restores the default. Answers false, changing
 * nothing, when `io` has another version or lacks a function other than
 * lock (DBE_E_ARGUMENT). */
DBE_API dbe_bool dbe_SetIo(const dbe_io* io);

/* The I/O layer of the operating system, the default; a layer of one's own
 * may call its functions. */
DBE_API const dbe_io* dbe_DefaultIo(void);

#ifdef __cplusplus
}
#endif

#endif /* DBFENGINE_H */
