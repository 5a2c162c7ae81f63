// The resource library's own translation unit; its content is the compiled-in resources.
namespace vek7_resources_anchor {
int unused = 0;
}
