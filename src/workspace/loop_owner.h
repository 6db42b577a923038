#pragma once

#include "workspace/change_case.h"
#include "workspace/folder_compare.h"

#include <QObject>
#include <QPointer>

// What the loops report to the window (or script) that started them. Results
// are direct calls, guarded so that a closed owner simply gets nothing.
class CompareOwner {
public:
    virtual ~CompareOwner() = default;
    // One folder done; false when the owner could not place it (no descent then).
    virtual bool compareResult(const FolderCompareResult& result) = 0;
    virtual void compareProgressStep() {}
};

// One match of the search: the entry, the folder it was found in and its index
// among that folder's matches.
struct SearchRow {
    RemoteItem item;
    QByteArray folder;
    int matchIndex = 0;
};

class SearchOwner {
public:
    virtual ~SearchOwner() = default;
    // False stops the reporting of the current folder.
    virtual bool searchResult(const SearchRow& row) = 0;
    virtual void searchProgressStep() {}
};

class ChangeCaseOwner {
public:
    virtual ~ChangeCaseOwner() = default;
    // A rename pair ran (or, for a dry run, was planned with success true).
    virtual void caseRenamed(const CaseRename& rename, bool success) = 0;
    // A name was left alone because its new spelling is taken.
    virtual void caseClash(const CaseRename&) {}
    virtual void changeCaseProgressStep() {}
};

// An owner as the queued work holds it: the object guards the interface, the
// token (the object's address) names it to the queue for cancelling.
template <class Owner>
class OwnerRef {
public:
    OwnerRef() = default;
    OwnerRef(QObject* object, Owner* owner)
        : object_(object), owner_(owner), token_(quintptr(object)) {}

    Owner* get() const { return object_ ? owner_ : nullptr; }
    quintptr token() const { return token_; }
    // Stopped: the owner still gets what is under way but nothing new starts.
    void stop() { stopped_ = true; }
    bool stopped() const { return stopped_; }

private:
    QPointer<QObject> object_;
    Owner* owner_ = nullptr;
    quintptr token_ = 0;
    bool stopped_ = false;
};
