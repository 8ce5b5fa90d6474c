#include "WorkArea.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Scramble.h"
#include "Text.h"
#include "dbfengine.h"

namespace dbe {

WorkArea::WorkArea(std::unique_ptr<Table> table, std::string alias)
    : table_(std::move(table)), alias_(std::move(alias)), count_(table_->recordCount()) {
  blank_.assign(static_cast<size_t>(table_->recordSize()), ' ');
  clear_.assign(blank_.size(), ' ');
  if (count_ == 0) setEof(true);
}

bool WorkArea::setPassword(const std::string& password) {
  clearRecno_ = 0;
  descramble_ = false;
  if (!table_->encrypted() || password.empty()) return true;
  key_ = scrambleKey(password);
  if (scrambleCheck(key_) != table_->passwordCheck()) return false;
  descramble_ = true;
  if (order_ != 0 && !eof_) locateInOrder();  // keys read differently in clear
  return true;
}

const uint8_t* WorkArea::stored(int32_t r, bool ahead) {
  const uint8_t* p = table_->record(r, ahead);
  if (!p) {
    // Recorded at every such read, written to stderr once per table.
    if (readFailures_++)
      noteError(DBE_E_READ, table_->readError());
    else
      setError(DBE_E_READ, table_->readError());
  }
  return p;
}

const uint8_t* WorkArea::read(int32_t r, bool ahead) {
  if (r < 1 || r > count_) return blank_.data();
  if (descramble_ && clearRecno_ == r) return clear_.data();
  const uint8_t* p = stored(r, ahead);
  if (!p) return blank_.data();
  if (!descramble_) return p;
  std::memcpy(clear_.data(), p, clear_.size());
  scrambleRecord(key_, static_cast<uint32_t>(r), clear_.data() + 1, clear_.size() - 1);
  clearRecno_ = r;
  return clear_.data();
}

// ------------------------------------------------------------ positions

void WorkArea::setEof(bool alsoBof) {
  recno_ = count_ + 1;
  eof_ = true;
  bof_ = alsoBof;
  Tag* t = tag(order_);
  entry_ = t ? t->count : 0;
  onEntry_ = false;
}

void WorkArea::standOnRecord(int32_t r) {
  recno_ = r;
  eof_ = false;
}

void WorkArea::standOnEntry(int64_t p) {
  entry_ = p;
  onEntry_ = true;
  recno_ = tag(order_)->recnoAt(p);
  eof_ = false;
}

int32_t WorkArea::nextVisible(int32_t r) {
  const bool skipDeleted = settings().deleted;
  const bool ahead = settings().readCache;
  const bool set = query_.inForce();
  if (r < 1) r = 1;
  while (r <= count_) {
    if (set) {
      r = query_.next(r);
      if (r == 0) return 0;
    }
    if (!skipDeleted || !deleted(r, ahead)) return r;
    ++r;
  }
  return 0;
}

int32_t WorkArea::prevVisible(int32_t r) {
  const bool skipDeleted = settings().deleted;
  const bool ahead = settings().readCache;
  const bool set = query_.inForce();
  if (r > count_) r = count_;
  while (r >= 1) {
    if (set) {
      r = query_.prev(r);
      if (r == 0) return 0;
    }
    if (!skipDeleted || !deleted(r, ahead)) return r;
    --r;
  }
  return 0;
}

const std::vector<int64_t>* WorkArea::sparseEntries() {
  Tag* t = tag(order_);
  // Dense sets are walked entry by entry; a sparse one (under 1/16 of the
  // entries) through the sorted entries of its members.
  if (!t || !query_.inForce() || static_cast<int64_t>(query_.count()) * 16 > t->count)
    return nullptr;
  if (sparseOrder_ != order_ || sparseVersion_ != query_.version()) {
    sparse_.clear();
    bool held = false;
    for (int32_t r = query_.next(1); r; r = r < count_ ? query_.next(r + 1) : 0) {
      const int64_t p = entryOf(r, held);
      if (held) sparse_.push_back(p);
    }
    std::sort(sparse_.begin(), sparse_.end());
    sparseOrder_ = order_;
    sparseVersion_ = query_.version();
  }
  return &sparse_;
}

int64_t WorkArea::nextVisibleEntry(int64_t p) {
  Tag* t = tag(order_);
  if (p < 0) p = 0;
  const bool filtered = settings().deleted || query_.inForce();
  if (!filtered) {
    // Entries of a block that failed its check read as record 0: passed over.
    while (p < t->count && t->recnoAt(p) == 0) ++p;
    return p < t->count ? p : -1;
  }
  if (const std::vector<int64_t>* s = sparseEntries()) {
    for (auto it = std::lower_bound(s->begin(), s->end(), p); it != s->end(); ++it)
      if (visible(t->recnoAt(*it))) return *it;
    return -1;
  }
  for (; p < t->count; ++p)
    if (visible(t->recnoAt(p))) return p;
  return -1;
}

int64_t WorkArea::prevVisibleEntry(int64_t p) {
  Tag* t = tag(order_);
  if (p >= t->count) p = t->count - 1;
  const bool filtered = settings().deleted || query_.inForce();
  if (!filtered) {
    while (p >= 0 && t->recnoAt(p) == 0) --p;
    return p;
  }
  if (p < 0) return p;
  if (const std::vector<int64_t>* s = sparseEntries()) {
    for (auto it = std::upper_bound(s->begin(), s->end(), p); it != s->begin();) {
      --it;
      if (visible(t->recnoAt(*it))) return *it;
    }
    return -1;
  }
  for (; p >= 0; --p)
    if (visible(t->recnoAt(p))) return p;
  return -1;
}

void WorkArea::goTop() {
  bof_ = false;
  if (order_ == 0) {
    const int32_t r = nextVisible(1);
    if (r)
      standOnRecord(r);
    else
      setEof(true);
  } else {
    const int64_t p = nextVisibleEntry(0);
    if (p >= 0)
      standOnEntry(p);
    else
      setEof(true);
  }
}

void WorkArea::goBottom() {
  bof_ = false;
  if (order_ == 0) {
    const int32_t r = prevVisible(count_);
    if (r)
      standOnRecord(r);
    else
      setEof(true);
  } else {
    const int64_t p = prevVisibleEntry(tag(order_)->count - 1);
    if (p >= 0)
      standOnEntry(p);
    else
      setEof(true);
  }
}

void WorkArea::skip(int32_t n) {
  if (n == 0) {
    bof_ = false;
    return;
  }
  bof_ = false;
  if (n > 0) {
    if (eof_) return;  // stays at end of file
    if (order_ == 0) {
      // Fast path: every record visible.
      if (!query_.inForce() && !settings().deleted) {
        const int64_t r = static_cast<int64_t>(recno_) + n;
        if (r > count_)
          setEof(false);
        else
          standOnRecord(static_cast<int32_t>(r));
        return;
      }
      int32_t r = recno_;
      while (n-- > 0) {
        r = r < count_ ? nextVisible(r + 1) : 0;
        if (r == 0) return setEof(false);
      }
      standOnRecord(r);
    } else {
      int64_t p = onEntry_ ? entry_ + 1 : entry_;
      for (;;) {
        p = nextVisibleEntry(p);
        if (p < 0) return setEof(false);
        if (--n == 0) break;
        ++p;
      }
      standOnEntry(p);
    }
    return;
  }
  // Backwards; before the first visible record: stay on it with Bof.
  if (order_ == 0) {
    int32_t r = eof_ ? count_ + 1 : recno_;
    if (!query_.inForce() && !settings().deleted) {
      const int64_t to = static_cast<int64_t>(r) + n;
      if (to < 1) {
        goTop();
        bof_ = true;
      } else {
        standOnRecord(static_cast<int32_t>(to));
      }
      return;
    }
    while (n++ < 0) {
      const int32_t q = prevVisible(r - 1);
      if (q == 0) {
        goTop();
        bof_ = true;
        return;
      }
      r = q;
    }
    standOnRecord(r);
  } else {
    int64_t p = entry_;  // both on an entry and between entries, entry_ - 1 comes first
    while (n++ < 0) {
      const int64_t q = p > 0 ? prevVisibleEntry(p - 1) : -1;
      if (q < 0) {
        goTop();
        bof_ = true;
        return;
      }
      p = q;
    }
    standOnEntry(p);
  }
}

void WorkArea::go(int32_t r) {
  bof_ = false;
  // Outside the file: end of file; Bof too when nothing is visible at all,
  // as GoTop would say.
  if (r < 1 || r > count_) {
    const bool none = order_ == 0 ? nextVisible(1) == 0 : nextVisibleEntry(0) < 0;
    return setEof(none);
  }
  standOnRecord(r);
  if (order_ != 0) locateInOrder();
}

// The entries are sorted by key, then record number: the record's own key
// finds its entry, or the place where a record the order leaves out would
// stand.
int64_t WorkArea::entryOf(int32_t r, bool& held) {
  Tag* t = tag(order_);
  EvalContext c{record(r), r, table_->doubleByte()};
  encodeKey(*t->key, c, t->keyType, t->keyLen, keyBuf_);
  const int64_t p =
      t->lowerBound(reinterpret_cast<const uint8_t*>(keyBuf_.data()), static_cast<uint32_t>(r));
  held = p < t->count && t->recnoAt(p) == r;
  return p;
}

void WorkArea::locateInOrder() {
  entry_ = entryOf(recno_, onEntry_);
}

int32_t WorkArea::visibleCount() {
  if (!settings().deleted) return query_.inForce() ? query_.count() : count_;
  int32_t n = 0;
  const bool set = query_.inForce();
  for (int32_t r = 1; r <= count_; ++r)
    if ((!set || query_.test(r)) && !deleted(r, true)) ++n;
  return n;
}

// ------------------------------------------------------------ orders

bool WorkArea::setOrder(int order) {
  if (order < 0 || order > orderCount()) return false;
  order_ = order;
  if (eof_) {
    setEof(bof_);
  } else if (order_ != 0) {
    locateInOrder();
  }
  return true;
}

int WorkArea::openIndex(const std::string& path, int& code, std::string& message) {
  for (size_t i = 0, o = 1; i < files_.size(); ++i) {
    if (files_[i]->path() == path) return static_cast<int>(o);
    o += files_[i]->tags().size();
  }
  auto file = std::make_unique<MtxFile>();
  if (!file->open(path, *table_, alias_, code, message)) return 0;
  if (orders_.size() + file->tags().size() > 32000) {
    code = DBE_E_INDEX;
    message = "too many orders";
    return 0;
  }
  const int first = orderCount() + 1;
  for (Tag& t : file->tags()) orders_.push_back(Order{file.get(), &t});
  files_.push_back(std::move(file));
  return first;
}

void WorkArea::closeIndexes() {
  order_ = 0;
  sparseOrder_ = -1;
  orders_.clear();
  files_.clear();
  onEntry_ = false;
  entry_ = 0;
}

double WorkArea::orderPosition() {
  int64_t k, n;
  if (order_ == 0) {
    k = eof_ ? 0 : recno_;
    n = count_;
  } else {
    k = !eof_ && onEntry_ ? entry_ + 1 : 0;
    n = tag(order_)->count;
  }
  if (k <= 0 || n <= 0) return 0;
  double f = static_cast<double>(k) / static_cast<double>(n);
  // Round up just enough that trunc(f * n) gives k back.
  while (static_cast<int64_t>(f * static_cast<double>(n)) < k && f < 1.0)
    f = std::nextafter(f, 2.0);
  return f > 1.0 ? 1.0 : f;
}

void WorkArea::setOrderPosition(double f) {
  bof_ = false;
  const int64_t n = order_ == 0 ? count_ : tag(order_)->count;
  if (n <= 0) return setEof(true);
  if (!std::isfinite(f)) f = 0;
  double kk = std::ceil(f * static_cast<double>(n) - 1e-9);
  if (kk < 1) kk = 1;
  if (kk > static_cast<double>(n)) kk = static_cast<double>(n);
  const int64_t k = static_cast<int64_t>(kk);
  if (order_ == 0) {
    int32_t r = nextVisible(static_cast<int32_t>(k));
    if (!r) r = prevVisible(static_cast<int32_t>(k));
    if (r)
      standOnRecord(r);
    else
      setEof(true);
  } else {
    int64_t p = nextVisibleEntry(k - 1);
    if (p < 0) p = prevVisibleEntry(k - 1);
    if (p >= 0)
      standOnEntry(p);
    else
      setEof(true);
  }
}

bool WorkArea::seek(const std::string& text) {
  Tag* t = tag(order_);
  bof_ = false;
  std::string probe;
  switch (t->keyType) {
    case kKeyChar:
      probe = text.substr(0, t->keyLen);
      break;
    case kKeyNumeric: {
      uint8_t b[8];
      encodeNumber(parseNumber(text.data(), text.size()), b);
      probe.assign(reinterpret_cast<char*>(b), 8);
      break;
    }
    case kKeyDate: {
      int32_t jd = parseDtos(text.data(), text.size());
      if (jd == 0) jd = parseCtod(text);
      formatDtos(probe, jd);
      break;
    }
    case kKeyLogical: {
      const char c = text.empty() ? 'F' : static_cast<char>(toupper(text[0]));
      probe = (c == 'T' || c == 'Y') ? "T" : "F";
      break;
    }
  }
  const auto* pk = reinterpret_cast<const uint8_t*>(probe.data());
  const int64_t p = nextVisibleEntry(t->lowerBoundPrefix(pk, probe.size()));
  if (p >= 0 && std::memcmp(t->keyAt(p), pk, probe.size()) == 0) {
    standOnEntry(p);
    return true;
  }
  if (p >= 0 && settings().softSeek)
    standOnEntry(p);
  else
    setEof(false);
  return false;
}

// ------------------------------------------------------------ query set

bool WorkArea::runQuery(const std::string& text, int& code, std::string& message) {
  if (text.empty()) {
    query_.clear();
    return true;
  }
  // A bad expression leaves the set in force as it was.
  Expression* e = compile(text, code, message);
  if (!e) return false;
  if (e->type() != Type::Logical) {
    code = DBE_TYPE_MISMATCH;
    message = "query expression is not logical: " + text;
    return false;
  }
  query_.reset(count_, QuerySet::Kind::Expression);
  const bool skipDeleted = settings().deleted;
  EvalContext c{nullptr, 0, table_->doubleByte()};
  Value v;
  for (int32_t r = 1; r <= count_; ++r) {
    if (skipDeleted && deleted(r, true)) continue;
    c.record = scanRecord(r);
    c.recno = r;
    e->eval(c, v);
    if (v.l) query_.set(r, true);
  }
  query_.expression = text;
  return true;
}

Expression* WorkArea::compile(const std::string& text, int& code, std::string& message) {
  if (cached_ && cachedText_ == text) {
    code = static_cast<int>(cached_->type());
    return cached_.get();
  }
  auto e = Expression::compile(text, table_.get(), alias_, code, message);
  if (!e) return nullptr;
  cached_ = std::move(e);
  cachedText_ = text;
  return cached_.get();
}

}  // namespace dbe
