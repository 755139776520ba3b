// The reading connection one of the store's operations borrows, and gives back when it is done.
#pragma once
#include "channel/store.h"

namespace tundrix::channel {

// Borrows a reading connection for one operation and gives it back.
class Store::ReaderLease {
  public:
    explicit ReaderLease(Store& store) : store_(store) {
        std::unique_lock lock(store_.readersMutex_);
        store_.readerFree_.wait(lock, [this] { return !store_.idleReaders_.empty(); });
        db_ = store_.idleReaders_.back();
        store_.idleReaders_.pop_back();
    }
    ~ReaderLease() {
        {
            std::lock_guard lock(store_.readersMutex_);
            store_.idleReaders_.push_back(db_);
        }
        store_.readerFree_.notify_one();
    }
    ReaderLease(const ReaderLease&) = delete;
    ReaderLease& operator=(const ReaderLease&) = delete;
    Database& operator*() const { return *db_; }
    Database* operator->() const { return db_; }

  private:
    Store& store_;
    Database* db_;
};

} // namespace tundrix::channel
