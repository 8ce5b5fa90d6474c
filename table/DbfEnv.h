#pragma once
// TDbfEnv, the optional engine environment, and TDbfDatabase, an alias for a
// data folder. Every live instance is known process-wide, in creation order:
// that is where a table looks for them when it opens.
#include <QString>
#include <vector>

enum TDbfEnvApplyTo { atLocal = 1, atServer = 2 };

class TDbfEnv {
 public:
  TDbfEnv();
  ~TDbfEnv();
  TDbfEnv(const TDbfEnv&) = delete;
  TDbfEnv& operator=(const TDbfEnv&) = delete;

  int ApplyTo = atLocal;  // TDbfEnvApplyTo bits
  bool AutoRefresh = true;
  bool Century = true;
  int DateFormat = 7;
  bool Deleted = false;
  int Epoch = 1980;
  bool Exact = false;
  int ErrorFunc = -1;
  bool CountNeedsRefresh = true;
  int ErrorLevel = 1;
  int LockTimeOut = 1;
  int MemoBlockSize = 64;
  bool OptimisticBuffer = false;
  bool SoftSeek = false;

  // The first live environment that applies to local tables, or nullptr.
  static TDbfEnv* FindLocal();

 private:
  static std::vector<TDbfEnv*>& Registry();
};

class TDbfDatabase {
 public:
  TDbfDatabase();
  ~TDbfDatabase();
  TDbfDatabase(const TDbfDatabase&) = delete;
  TDbfDatabase& operator=(const TDbfDatabase&) = delete;

  QString DataPathAlias;
  QString DataPath;

  // The first live database whose alias equals `alias` ignoring case.
  static TDbfDatabase* FindByAlias(const QString& alias);

 private:
  static std::vector<TDbfDatabase*>& Registry();
};
