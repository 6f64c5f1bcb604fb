#pragma once

#include <QLockFile>
#include <QString>

// Keeps the program to one running instance per user: a lock file named
// kznQorMainForm in the user's runtime folder, held for the life of this
// object. The lock of a crashed instance is taken over. GUI thread only.
class SingleInstanceLock {
public:
    // Uses `folder`, or the user's runtime folder when it is empty.
    explicit SingleInstanceLock(const QString& folder = QString());
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process now holds the lock; false when another live
    // process holds it. Never waits.
    bool TryAcquire();

private:
    QLockFile m_lock;
};
