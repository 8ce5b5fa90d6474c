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
 * when the production index is opened), with no query set. The table file is read whole at open: a
 * file truncated or replaced by another process while it is open does not change what the area
 * reads. */
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

/* Read caching switch. Tables are read whole into memory at open, so the
 * switch is stored and reported only. Default on. */
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

/* Engine name and version, e.g. "dbfengine 1.0". */
DBE_API const char* dbe_Version(void);

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
 * memo file, DBE_E_ARGUMENT). `buffer` may be NULL with size 0 to ask for the
 * length only. Memo files are never scrambled. */
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
 * first tag, 0 on failure (DBE_E_INDEX: missing, not MTX, corrupt;
 * DBE_E_INDEX_STALE: built for another table or record count). A file already
 * open answers its first order again. */
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
 * of the current area's table (deleted setting and query set do not matter),
 * replacing an existing file atomically. The file is not opened. Answers the
 * number of tags written, 0 on failure (DBE_E_SYNTAX/DBE_E_TYPE for a bad key
 * or condition, DBE_E_WRITE, DBE_E_ARGUMENT). */
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
 * repeating it does not parse again. */

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

/* ---------------------------------------------------------------- scrambling
 * Scrambling hides the records from casual reading; it is NOT protection:
 * the scheme is public (FORMAT.md) and the key space small. */

/* Writes a scrambled copy of the DBF table `source` to `target` using
 * `password` (1..32 bytes), replacing `target` atomically. Answers true on
 * success; DBE_E_OPEN/NOT_DBF/CORRUPT/WRITE/ARGUMENT otherwise. */
DBE_API dbe_bool dbe_ScrambleTable(const char* source, const char* target, const char* password);

#ifdef __cplusplus
}
#endif

#endif /* DBFENGINE_H */
