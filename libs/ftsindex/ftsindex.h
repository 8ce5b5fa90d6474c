/*
 * libftsindex: a full-text index over CP949 records.
 *
 * An index names, for a search text, the records that may contain it
 * (candidates, never fewer than the records that do), and confirms a record
 * against the text.
 *
 * Text. Records and search texts are CP949 byte strings. A character is one
 * byte below 0x80, or a lead byte 0x81..0xFE followed by a trail byte
 * (0x41..0x5A, 0x61..0x7A, 0x81..0xFE). In a record, any other byte counts as
 * a character of its own, so records are never refused for their bytes; a
 * search text must be well-formed. Matching happens on character boundaries
 * only, and ASCII letters (single-byte characters A..Z, a..z) compare without
 * case where the mode says so. A search text holds at most FTS_MAX_TEXT bytes.
 *
 * Words (FtsSet, and FtsVerify mode 3). A search text is cut at spaces into
 * words; a record matches when every word occurs in it, in any order. A word
 * also occurs where the record has blanks (spaces) between its characters
 * ("강남구역삼동" occurs in "강남구 역삼동"). A compatibility jamo of the
 * word that is an initial consonant (ㄱ ㄲ ㄴ ㄷ ㄸ ㄹ ㅁ ㅂ ㅃ ㅅ ㅆ ㅇ ㅈ ㅉ ㅊ ㅋ ㅌ ㅍ ㅎ,
 * CP949 0xA4A1..0xA4BE) matches every Hangul syllable with exactly that
 * initial consonant, and the jamo itself ("ㄱㅍ1ㄷ" occurs in "개포1동";
 * ㄱ matches 가..깋, not 까). Every other character matches itself.
 *
 * Keys. The index keeps, per record, every character, every pair of
 * characters that follow one another when blanks are left out, the same
 * with Hangul characters replaced by their initial consonant, and every
 * three ASCII characters or three initial consonants that follow one another
 * (FORMAT.md). A one-character word is looked up by its character, a longer
 * word by its adjacent pairs and triples.
 *
 * Handles. FtsCreate and FtsOpen return a handle > 0 or a negative error
 * code. Every other call takes such a handle; a handle <= 0, a closed handle
 * or one never issued answers FTS_ERR_HANDLE. Handles are not reused within
 * a process. Several indexes may be open at once, up to FTS_MAX_OPEN; calls
 * on different handles may run in different threads, calls on one handle must
 * not overlap.
 *
 * Files. An index file is read a piece at a time: FtsOpen reads its header
 * and the top of its key directory, FtsSet the directory pages and posting
 * lists it needs, each checked against its checksum when it is read. Nothing
 * is cached beyond a few kilobytes per handle; the system's page cache does
 * the rest. Every byte of every file the library reads or writes passes
 * through one I/O layer (fts_io below), which a program may replace.
 *
 * Results are 32-bit signed; negative values are the FTS_ERR_* codes below.
 * The file format is described in FORMAT.md beside this header.
 */
#ifndef FTSINDEX_H
#define FTSINDEX_H

#include <stdint.h>

#if defined(FTSINDEX_BUILD)
#define FTS_API __attribute__((visibility("default")))
#else
#define FTS_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Versions: of the library this header describes (major * 10000 + minor *
 * 100 + patch; the shared library's SONAME carries the major), and of the
 * index files it writes and reads. */
#define FTSINDEX_VERSION 10200
#define FTSINDEX_FORMAT_VERSION 3

/* Limits. */
#define FTS_MAX_TEXT 255     /* bytes of a search text, without its zero byte */
#define FTS_MAX_RECORD 65535 /* bytes of a record read, its zero byte included */
#define FTS_MAX_OPEN 1024    /* indexes open at the same time */
#define FTS_MAX_TAG 255      /* bytes of a source tag, without its zero byte */

/* Error codes (all negative). */
#define FTS_ERR_HANDLE (-1) /* bad, closed or never issued handle */
#define FTS_ERR_ARG (-2)    /* null pointer, empty file name, bad size or mode */
#define FTS_ERR_IO (-3)     /* file cannot be read, created or written */
#define FTS_ERR_FORMAT                                                                           \
  (-4)                           /* not an index file of this version: foreign, older, truncated \
                                    or corrupt */
#define FTS_ERR_STATE (-5)       /* call not valid for this handle (building vs. open) */
#define FTS_ERR_TOO_LONG (-6)    /* search text over FTS_MAX_TEXT bytes */
#define FTS_ERR_RECORD (-7)      /* record without its zero byte within FTS_MAX_RECORD */
#define FTS_ERR_FULL (-8)        /* too many open indexes or records, or out of memory */
#define FTS_ERR_NO_KEY (-13)     /* FtsSet: the text yields no key, or a key is not indexed */
#define FTS_ERR_NO_LIBRARY (-20) /* reserved for loaders: the library is not bound */

/*
 * FtsCreate: starts a new, empty index that will be written to fileName.
 *   Nothing is written to fileName until FtsClose, which writes a temporary
 *   file in the same folder and renames it into place, so an interrupted
 *   build or two builds at once never leave a partial file. An existing file
 *   of that name stays as it is until then. The build holds its lists in a
 *   bounded amount of memory (FtsSetBuildMemory) and beyond it in a
 *   temporary file in the same folder, removed from the folder as soon as it
 *   is made.
 *   Temporary files of this name left by a build that was killed before its
 *   rename (those no live process holds) are removed here.
 *   fileName must name a regular file or nothing yet: a symbolic link is
 *   followed, and the file it leads to is replaced (the link stays); a
 *   device, FIFO, socket or folder, or a link that leads nowhere or to one of
 *   them, is refused (FTS_ERR_IO), here and again at FtsClose.
 *   The four numeric arguments are accepted for compatibility and ignored.
 *   Result: a handle > 0; FTS_ERR_ARG (null or empty name, a name of 4096
 *   bytes or more, or one ending in '/'), FTS_ERR_IO (the folder does not
 *   take a new file, or the name is not a regular file), FTS_ERR_FULL.
 *   While building, FtsAdd, FtsNumRecs, FtsNumKeys, FtsVerify and FtsClose are
 *   valid; FtsSet and FtsNextRec answer FTS_ERR_STATE.
 */
FTS_API int32_t FtsCreate(const char* fileName, int16_t arg1, int16_t arg2, int8_t arg3,
                          int16_t arg4);

/*
 * FtsOpen: opens an index file for searching. Only its header and the top
 *   page of its key directory are read and checked here (magic, version,
 *   sizes, checksums), so the time and memory of an open do not grow with
 *   the index; the rest is checked as searches read it (FtsSet), or all at
 *   once by FtsCheck. The file stays open: one truncated or rewritten in
 *   place afterwards makes later searches fail (FTS_ERR_FORMAT or
 *   FTS_ERR_IO), one replaced by a rename is not seen.
 *   The two numeric arguments are accepted for compatibility and ignored.
 *   Result: a handle > 0; FTS_ERR_ARG (null or empty name, or 4096 bytes
 *   or more), FTS_ERR_IO (missing, unreadable, or not a regular file),
 *   FTS_ERR_FORMAT (foreign, of another format version, truncated or
 *   corrupt), FTS_ERR_FULL.
 *   An open index is read-only: FtsAdd answers FTS_ERR_STATE.
 */
FTS_API int32_t FtsOpen(const char* fileName, int16_t arg1, int16_t arg2);

/*
 * FtsAdd: adds the next record, read up to its zero byte. At most
 *   FTS_MAX_RECORD bytes are read, the zero byte among them, so a record
 *   holds at most FTS_MAX_RECORD - 1 bytes before its zero. Records are
 *   numbered by the running count of FtsAdd calls on the handle, 1 for the
 *   first.
 *   Result: that count (the record's number) on success. A refused record
 *   (null pointer: FTS_ERR_ARG; no zero byte within FTS_MAX_RECORD bytes:
 *   FTS_ERR_RECORD) still takes its number, with no keys, so that later
 *   records keep their table positions. FTS_ERR_HANDLE, FTS_ERR_STATE (open
 *   index), FTS_ERR_FULL (more than 2^31 - 1 records or out of memory).
 *   When the build's temporary file cannot be written, the records go on
 *   being numbered and FtsClose answers FTS_ERR_IO.
 */
FTS_API int32_t FtsAdd(int32_t h, const char* record);

/*
 * FtsAddSized: as FtsAdd for a buffer of `size` bytes: the record ends at its
 *   first zero byte or after `size` bytes, whichever comes first; no byte
 *   beyond `size` is read. size < 0: FTS_ERR_ARG (the number is still taken).
 */
FTS_API int32_t FtsAddSized(int32_t h, const char* record, int32_t size);

/*
 * FtsSet: finds the candidates of a search text. The text is split at spaces
 *   into words; the posting lists of all their keys are intersected, smallest
 *   first. The candidates are a superset of the records that match the text
 *   in any FtsVerify mode (FtsProven tells when they are exactly those of
 *   mode 3). Every part of the file a search reads is checked when it is
 *   read, before anything is answered.
 *   Result: the number of candidates (> 0); 0 when the intersection is empty;
 *   FTS_ERR_NO_KEY when the text yields no key (empty, spaces only, invalid
 *   CP949) or one of its keys occurs nowhere in the index; FTS_ERR_FORMAT
 *   when a part of the file it read is corrupt or cut short, FTS_ERR_IO when
 *   it cannot be read: the index no longer answers for its table, which
 *   should be indexed again (its records confirmed one by one meanwhile);
 *   FTS_ERR_TOO_LONG; FTS_ERR_ARG (null text); FTS_ERR_HANDLE;
 *   FTS_ERR_STATE (index being built). Every call replaces the previous
 *   candidate list; a failed call leaves it empty.
 */
FTS_API int32_t FtsSet(int32_t h, const char* text);

/*
 * FtsNextRec: the next candidate of the last FtsSet, in ascending record
 *   order. The candidates were read and checked by FtsSet: this call reads
 *   no file and cannot fail on one. Result: a record number > 0; 0 when
 *   there are no more (or FtsSet was not called or failed); FTS_ERR_HANDLE;
 *   FTS_ERR_STATE.
 */
FTS_API int32_t FtsNextRec(int32_t h);

/*
 * FtsNextRecs: the next candidates of the last FtsSet, up to max of them,
 *   into recnos[0..max), in ascending record order: what as many calls of
 *   FtsNextRec would answer, for a caller that takes a million. The two may
 *   be mixed. Result: how many were written (> 0); 0 when there are no more
 *   (or FtsSet was not called or failed); FTS_ERR_ARG (recnos null or max
 *   below 1); FTS_ERR_HANDLE; FTS_ERR_STATE.
 */
FTS_API int32_t FtsNextRecs(int32_t h, int32_t* recnos, int32_t max);

/*
 * FtsProven: whether the candidates of the last FtsSet need FtsVerify.
 *   Result: 1 when they are exactly the records that match the text in mode 3
 *   of FtsVerify (every word of one or two characters, or of three ASCII
 *   characters or three initial-consonant jamo, and no initial-consonant
 *   jamo before a syllable), so that a caller
 *   may take each one without reading it; 0 when each must be verified, or when there are no
 *   candidates; FTS_ERR_HANDLE; FTS_ERR_STATE (index being built).
 */
FTS_API int32_t FtsProven(int32_t h);

/*
 * FtsVerify: checks a record (read up to its zero byte, at most
 *   FTS_MAX_RECORD bytes with the zero byte, as FtsAdd) against a search text.
 *   mode 1: the text, without leading and trailing spaces, occurs in the
 *           record as one phrase, bytes compared exactly;
 *   mode 2: as mode 1, ASCII letters compared without case;
 *   mode 3: every space-separated word of the text occurs in the record,
 *           anywhere and in any order, ASCII letters compared without case,
 *           across blanks and with initial consonants as described under
 *           Words above.
 *   Occurrences start on a character boundary of the record.
 *   Result: 1 when the record matches; 0 when it does not (also for a text
 *   without words or with invalid CP949); FTS_ERR_TOO_LONG, FTS_ERR_RECORD,
 *   FTS_ERR_ARG (null pointer, other mode), FTS_ERR_HANDLE.
 */
FTS_API int32_t FtsVerify(int32_t h, const char* record, const char* text, int32_t mode);

/* FtsVerifySized: as FtsVerify for a record buffer of `size` bytes (see FtsAddSized). */
FTS_API int32_t FtsVerifySized(int32_t h, const char* record, int32_t size, const char* text,
                               int32_t mode);

/*
 * FtsMatchSpans: the characters of a record (a buffer of `size` bytes, see
 *   FtsAddSized) that take part in the occurrences of a text, as FtsVerify
 *   in `mode` finds them: pairs (begin, end) of byte offsets into the record,
 *   ascending, not touching, written to spans[0], spans[1], ... for at most
 *   maxSpans pairs. The blanks that a word skips are not part of a span.
 *   Result: the number of spans (also those beyond maxSpans, which are not
 *   written); 0 when the record does not match; FTS_ERR_TOO_LONG, FTS_ERR_ARG
 *   (null pointer, negative size or maxSpans, spans null with maxSpans > 0,
 *   other mode), FTS_ERR_HANDLE.
 */
FTS_API int32_t FtsMatchSpans(int32_t h, const char* record, int32_t size, const char* text,
                              int32_t mode, int32_t* spans, int32_t maxSpans);

/*
 * FtsMatch: as FtsVerify without an index: checks a record against a search
 *   text with the same matching, for callers that have no usable index and
 *   confirm every record of their table instead. Safe in several threads.
 *   Result: as FtsVerify (1, 0, FTS_ERR_TOO_LONG, FTS_ERR_RECORD,
 *   FTS_ERR_ARG), never FTS_ERR_HANDLE.
 */
FTS_API int32_t FtsMatch(const char* record, const char* text, int32_t mode);

/* FtsNumRecs: the number of records in the index (added so far while building),
 *   or FTS_ERR_HANDLE. */
FTS_API int32_t FtsNumRecs(int32_t h);

/* FtsNumKeys: the number of distinct keys in the index, or FTS_ERR_HANDLE. */
FTS_API int32_t FtsNumKeys(int32_t h);

/*
 * FtsSetTag: gives an index being built its source tag, an opaque text of at
 *   most FTS_MAX_TAG bytes stored in the file at FtsClose. A program names
 *   with it the state of the data the index was built from (a table's size
 *   and checksum, say), so that it can tell at FtsOpen whether the index
 *   still answers for that data. A later call replaces the tag; without a
 *   call the tag is empty.
 *   Result: 0; FTS_ERR_ARG (null tag), FTS_ERR_TOO_LONG (over FTS_MAX_TAG
 *   bytes), FTS_ERR_HANDLE, FTS_ERR_STATE (open index).
 */
FTS_API int32_t FtsSetTag(int32_t h, const char* tag);

/*
 * FtsGetTag: the source tag of an index (open: as stored in its file;
 *   being built: as set so far). Copies at most size - 1 bytes of it and a
 *   zero byte into buf when size > 0 (buf may be null when size is 0).
 *   Result: the tag's length in bytes (0..FTS_MAX_TAG), also when buf was
 *   too small; FTS_ERR_ARG (size < 0, or null buf with size > 0),
 *   FTS_ERR_HANDLE.
 */
FTS_API int32_t FtsGetTag(int32_t h, char* buf, int32_t size);

/*
 * FtsClose: ends the use of a handle. For an index being built, writes the
 *   file first (temporary file, flushed to disk, renamed over the name, and
 *   the folder flushed), unless fileName has meanwhile become something
 *   other than a regular file (see FtsCreate).
 *   Result: 0; FTS_ERR_IO when the file could not be written (the handle is
 *   released all the same and no partial file is left); FTS_ERR_FULL;
 *   FTS_ERR_HANDLE.
 */
FTS_API int32_t FtsClose(int32_t h);

/*
 * FtsCheck: reads and checks the whole of an open index: every directory
 *   page, every posting list and every block of one, and that the lists tile
 *   the file, as a search would check the parts it reads. Its time grows
 *   with the index (a few seconds for six million records).
 *   Result: 0; FTS_ERR_FORMAT (corrupt or cut short), FTS_ERR_IO;
 *   FTS_ERR_HANDLE; FTS_ERR_STATE (index being built).
 */
FTS_API int32_t FtsCheck(int32_t h);

/*
 * FtsSetBuildMemory: the memory, in MiB, that each build started from now on
 *   holds its lists in before it writes them out to its temporary file
 *   (192 by default); a build needs about a quarter more besides. The index
 *   written is the same whatever the amount.
 *   Result: the amount before the call; FTS_ERR_ARG for less than 1 or more
 *   than 4095.
 */
FTS_API int32_t FtsSetBuildMemory(int32_t megabytes);

/* FtsLibraryVersion: FTSINDEX_VERSION of the library actually loaded. */
FTS_API int32_t FtsLibraryVersion(void);

/*
 * The I/O layer. The library opens, reads, creates, writes, flushes,
 *   renames and removes its files only through the functions of one fts_io
 *   table; the default one works on the operating system's files (pread and
 *   pwrite, no mapping, so that a file cut short while open gives an error,
 *   never a signal). A program may install its own, for instance to inject
 *   faults, usually by wrapping the default one. A file is the
 *   implementation's own pointer. Every function answers 0 or FTS_ERR_IO
 *   (any other nonzero result counts as FTS_ERR_IO).
 *
 *   open    opens an existing file for reading; refuses (FTS_ERR_IO) what is
 *           not a regular file, without waiting on it.
 *   create  creates a new file for writing and reading back; fails when the
 *           name exists. The default one also holds a lock (flock) on it for
 *           as long as it is open, which tells its temporary files from those
 *           left by a process that was killed.
 *   size    the file's current size in bytes.
 *   read    up to size bytes at offset into buffer; *got the bytes read,
 *           fewer than size only where the file ends. The library takes a
 *           short read for a file cut short (FTS_ERR_FORMAT).
 *   write   all size bytes at offset.
 *   sync    flushes the file's data to its device.
 *   close   closes it (also after a failed call).
 *   rename  replaces `to` by `from` in one step, and makes that lasting
 *           (the default one flushes the folder).
 *   remove  removes the name (an open file stays readable and writable).
 */
#define FTS_IO_VERSION 1
typedef struct fts_io {
  int32_t version; /* FTS_IO_VERSION */
  void* context;   /* for the implementation; the library does not touch it */
  int32_t (*open)(const struct fts_io* io, const char* path, void** file);
  int32_t (*create)(const struct fts_io* io, const char* path, void** file);
  int32_t (*size)(void* file, uint64_t* size);
  int32_t (*read)(void* file, void* buffer, uint64_t offset, uint64_t size, uint64_t* got);
  int32_t (*write)(void* file, const void* data, uint64_t offset, uint64_t size);
  int32_t (*sync)(void* file);
  int32_t (*close)(void* file);
  int32_t (*rename)(const struct fts_io* io, const char* from, const char* to);
  int32_t (*remove)(const struct fts_io* io, const char* path);
} fts_io;

/*
 * FtsSetIo: installs io for the indexes opened and created from now on
 *   (those open keep the one they were opened with, which must stay valid
 *   until they are closed); null installs the default again.
 *   Result: 0; FTS_ERR_ARG (another version, or a function missing).
 */
FTS_API int32_t FtsSetIo(const fts_io* io);

/* FtsDefaultIo: the library's own I/O over the operating system's files. */
FTS_API const fts_io* FtsDefaultIo(void);

#ifdef __cplusplus
}
#endif

#endif /* FTSINDEX_H */
