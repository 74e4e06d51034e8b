// Reference counting shared by bitmaps and views: whoever keeps an object calls
// remember(), and forget() when done; the last forget deletes it. A new object
// starts with one reference, owned by its creator.
#pragma once

class CBaseObject {
  public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    void remember() { ++references; }
    void forget() {
        if (--references == 0) delete this;
    }
    int getNbReference() const { return references; }

  protected:
    virtual ~CBaseObject() = default;

  private:
    int references = 1;
};
