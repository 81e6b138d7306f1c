// type_info's pieces that Visual C++'s static runtime provides in each module: its destructor, its
// virtual table (every RTTI record the compiler writes points at ??_7type_info@@6B@, a table clang
// never emits itself, since nothing constructs a type_info), and the list head where vcruntime140
// caches the names that name() undecorates, freed when the module unloads (Startup.cpp).
#include <typeinfo>

type_info::~type_info() noexcept {}

extern "C" {

// An interlocked singly linked list's head (SLIST_HEADER): 16 bytes, and 16-aligned, or the
// interlocked 16-byte exchange on it faults and typeid(x).name() crashes.
struct alignas(16) __type_info_node {
    unsigned long long _Header[2];
};
__type_info_node __type_info_root_node{};

// The scalar deleting destructor, the table's one slot; the flag's low bit asks for the delete.
void* TypeInfoDeletingDestructor(type_info* self, unsigned int flags) asm("??_Gtype_info@@UEAAPEAXI@Z");
void* TypeInfoDeletingDestructor(type_info* self, unsigned int flags)
{
    self->~type_info();
    if ((flags & 1) != 0) ::operator delete(self);
    return self;
}

extern const void* const TypeInfoTable[1] asm("??_7type_info@@6B@");
const void* const TypeInfoTable[1] = {reinterpret_cast<const void*>(&TypeInfoDeletingDestructor)};
}
