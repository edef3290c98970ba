// Reference counting shared by the foundation's classes.
//
// A class derives from NBF::Object<Class>; its static create() hands out an object with one
// reference. retain() and release() count atomically, so objects may cross threads.
#ifndef NUMBERA_FOUNDATION_NBF_OBJECT_H
#define NUMBERA_FOUNDATION_NBF_OBJECT_H

#include <atomic>
#include <cstdint>
#include <utility>

namespace NBF {

template <typename T>
class Object {
  public:
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    T* retain() {
        m_refCount.fetch_add(1, std::memory_order_relaxed);
        return static_cast<T*>(this);
    }

    void release() {
        if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) <= 1) delete this;
    }

    int32_t retainCount() const { return m_refCount.load(std::memory_order_relaxed); }

  protected:
    Object() = default;
    virtual ~Object() = default;

  private:
    std::atomic<int32_t> m_refCount{1};
};

// Retain and release that accept null, as the procedural interface does.
template <typename T>
T* retain(T* object) {
    return object ? object->retain() : nullptr;
}

template <typename T>
void release(T* object) {
    if (object) object->release();
}

// Owning smart pointer for code inside the foundation. Adopting takes over a reference from
// a Create or create(); wrapping a borrowed pointer retains it.
template <typename T>
class Ref {
  public:
    Ref() = default;
    static Ref adopt(T* object) { return Ref(object); }
    static Ref retainOf(T* object) { return Ref(NBF::retain(object)); }

    Ref(const Ref& other) : m_object(NBF::retain(other.m_object)) {}
    Ref(Ref&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    Ref& operator=(Ref other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~Ref() { NBF::release(m_object); }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // Hands the reference to the caller.
    T* leak() { return std::exchange(m_object, nullptr); }

  private:
    explicit Ref(T* object) : m_object(object) {}
    T* m_object = nullptr;
};

}  // namespace NBF

#endif
