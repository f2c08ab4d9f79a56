// Lists of strings, each with an optional attached object: the abstract
// TStrings that list controls expose, and TStringList, which keeps its lines
// in memory. Stored in a form as the defined value "Strings", a list of
// strings.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"

class TStrings : public TPersistent {
    DECLARE_CLASS_INFO(TStrings)
public:
    virtual int Count() const = 0;
    // Raise EStringListError "List index out of bounds" for a bad index.
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& text);
    virtual TObject* Objects(int index) const;
    virtual void SetObject(int index, TObject* object);
    virtual void Insert(int index, const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    std::string operator[](int index) const { return Get(index); }
    // Appends a line; returns its index.
    virtual int Add(const std::string& text);
    int AddObject(const std::string& text, TObject* object);
    // The index of the first line equal to text (ignoring ASCII case), or -1.
    virtual int IndexOf(std::string_view text) const;
    // Replaces the lines with a copy of other's (objects included).
    void Assign(const TStrings& other);
    // The lines joined, each followed by CR LF.
    std::string Text() const;

    // Between the first BeginUpdate and the last EndUpdate, changes are not
    // announced one by one (and a list kept in a window is not redrawn);
    // the end announces them once.
    void BeginUpdate();
    void EndUpdate();

    void DefineProperties(TFiler& filer) override;

    // Events
    std::function<void()> OnChange;

protected:
    void Changed();
    [[noreturn]] static void IndexError();
    // Called when the first BeginUpdate starts an update (true) and when
    // the last EndUpdate ends it (false).
    virtual void SetUpdateState(bool) {}

private:
    int m_updateCount = 0;
};

// Holds a list in its update for a scope, also when the scope is left by an
// exception.
class TStringsUpdate {
public:
    explicit TStringsUpdate(TStrings& strings) : m_strings(strings) { m_strings.BeginUpdate(); }
    ~TStringsUpdate() { m_strings.EndUpdate(); }
    TStringsUpdate(const TStringsUpdate&) = delete;
    TStringsUpdate& operator=(const TStringsUpdate&) = delete;

private:
    TStrings& m_strings;  // not owned: the list outlives the scope
};

class TStringList : public TStrings {
    DECLARE_CLASS_INFO(TStringList)
public:
    int Count() const override { return static_cast<int>(m_items.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    TObject* Objects(int index) const override;
    void SetObject(int index, TObject* object) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;

private:
    struct Item {
        std::string Text;
        TObject* Object;  // not owned: the list only refers to it
    };
    void Check(int index) const;
    std::vector<Item> m_items;
};

class EStringListError : public Exception {
public:
    using Exception::Exception;
};
