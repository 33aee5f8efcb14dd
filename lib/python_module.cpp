// The Python module rgbhsv: librgbhsv's two conversions for Python.
//
//     rgbhsv.rgb_to_hsv(a)   rgbhsv.hsv_to_rgb(a)
//
// `a` is a C-contiguous uint8 numpy array whose last axis is 3, and a new
// array of the same shape comes back; or bytes (any buffer of bytes whose
// length is a whole number of pixels), and bytes come back. Only the
// buffer protocol is used, so numpy is needed only to be handed numpy
// arrays. The conversion runs without the interpreter's lock.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "rgbhsv.h"

namespace {

using Convert = void (*)(const uint8_t *, uint8_t *, size_t);

// Whether `object` is a numpy array (without importing numpy to ask).
bool IsArray(PyObject *object)
{
    PyObject *type = reinterpret_cast<PyObject *>(Py_TYPE(object));
    PyObject *module = PyObject_GetAttrString(type, "__module__");
    const bool numpy = module && PyUnicode_Check(module) && PyUnicode_CompareWithASCIIString(module, "numpy") == 0;
    Py_XDECREF(module);
    PyErr_Clear();
    return numpy;
}

PyObject *Run(PyObject *object, Convert convert)
{
    Py_buffer in;
    if (PyObject_GetBuffer(object, &in, PyBUF_C_CONTIGUOUS | PyBUF_FORMAT) != 0) {
        PyErr_Clear();
        if (PyObject_CheckBuffer(object))
            PyErr_SetString(PyExc_ValueError, "rgbhsv: the data must be C-contiguous (numpy.ascontiguousarray makes it so)");
        else
            PyErr_Format(PyExc_TypeError, "rgbhsv: expected bytes or a uint8 numpy array, not %s",
                         Py_TYPE(object)->tp_name);
        return nullptr;
    }
    PyObject *result = nullptr;
    const bool bytes_format = in.itemsize == 1 && (!in.format || in.format[0] == 'B' || in.format[0] == 'b' ||
                                                   in.format[0] == 'c' || (in.format[0] == '<' && in.format[1] == 'B'));
    const bool array = IsArray(object);
    if (!bytes_format || (array && in.format && in.format[0] != 'B')) {
        PyErr_Format(PyExc_TypeError, "rgbhsv: expected uint8 data, not items of format '%s' and %zd bytes",
                     in.format ? in.format : "B", in.itemsize);
    } else if (array && (in.ndim < 1 || in.shape[in.ndim - 1] != 3)) {
        PyErr_Format(PyExc_ValueError, "rgbhsv: the array's last axis must hold the 3 components of a pixel, not %zd",
                     in.ndim < 1 ? static_cast<Py_ssize_t>(0) : in.shape[in.ndim - 1]);
    } else if (in.len % 3 != 0) {
        PyErr_Format(PyExc_ValueError, "rgbhsv: %zd bytes are not a whole number of pixels (3 bytes each)", in.len);
    } else {
        uint8_t *out = nullptr;
        if (array) {
            PyObject *numpy = PyImport_ImportModule("numpy");
            result = numpy ? PyObject_CallMethod(numpy, "empty_like", "O", object) : nullptr;
            Py_XDECREF(numpy);
            Py_buffer view;
            if (result && PyObject_GetBuffer(result, &view, PyBUF_C_CONTIGUOUS | PyBUF_WRITABLE) == 0) {
                out = static_cast<uint8_t *>(view.buf);
                PyBuffer_Release(&view);  // the array holds its memory
            } else {
                Py_CLEAR(result);
            }
        } else {
            result = PyBytes_FromStringAndSize(nullptr, in.len);
            if (result) out = reinterpret_cast<uint8_t *>(PyBytes_AS_STRING(result));
        }
        if (out) {
            const uint8_t *from = static_cast<const uint8_t *>(in.buf);
            const size_t pixels = static_cast<size_t>(in.len / 3);
            Py_BEGIN_ALLOW_THREADS
            convert(from, out, pixels);
            Py_END_ALLOW_THREADS
        }
    }
    PyBuffer_Release(&in);
    return result;
}

PyObject *RgbToHsv(PyObject *, PyObject *object)
{
    return Run(object, rgbhsv_rgb_to_hsv);
}

PyObject *HsvToRgb(PyObject *, PyObject *object)
{
    return Run(object, rgbhsv_hsv_to_rgb);
}

PyMethodDef kMethods[] = {
    {"rgb_to_hsv", RgbToHsv, METH_O,
     "rgb_to_hsv(a): red, green, blue bytes to hue, saturation, value, as the rgbhsv converter gives them.\n"
     "a: a C-contiguous uint8 numpy array whose last axis is 3 (a new array comes back), or bytes."},
    {"hsv_to_rgb", HsvToRgb, METH_O,
     "hsv_to_rgb(a): hue, saturation, value bytes to red, green, blue, as the rgbhsv converter gives them.\n"
     "a: a C-contiguous uint8 numpy array whose last axis is 3 (a new array comes back), or bytes."},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef kModule = {
    PyModuleDef_HEAD_INIT, "rgbhsv",
    "Exact RGB <-> HSV conversion of whole images: the rgbhsv converter's numbers, the same on every processor.\n"
    "Bytes on 0..255; hue on a wheel of 256 steps.",
    -1, kMethods, nullptr, nullptr, nullptr, nullptr,
};

}  // namespace

PyMODINIT_FUNC PyInit_rgbhsv(void)
{
    return PyModule_Create(&kModule);
}
