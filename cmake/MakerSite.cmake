# The maker's web site, compiled in: the program reads no settings.
#
#   MESLEK_SITE_HOST    the site's host name with "www." (start page, label, banner)
#   MESLEK_SITE_DOMAIN  the bare domain name (the closing page)
#   MESLEK_SITE_NOTICE  the status bars' notice of the site and its mail address
#
# All three empty (the default) means that the program has no maker's site: the
# web panel shows the program's own page and no web engine is built. The host
# and the domain come together or not at all; sets MESLEK_HAS_SITE.
set(MESLEK_SITE_HOST "" CACHE STRING "Host name of the maker's site, with www. (empty: no site)")
set(MESLEK_SITE_DOMAIN "" CACHE STRING "The maker's bare domain name (empty: no site)")
set(MESLEK_SITE_NOTICE "" CACHE STRING "The status bars' notice of the site and the mail address")

function(meslek_check_host_name variable)
    set(value "${${variable}}")
    if(NOT value STREQUAL "" AND NOT value MATCHES "^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$")
        message(FATAL_ERROR "${variable} \"${value}\" is not a host name: "
            "give letters, digits, dots and hyphens only, without a scheme or a path")
    endif()
endfunction()

meslek_check_host_name(MESLEK_SITE_HOST)
meslek_check_host_name(MESLEK_SITE_DOMAIN)
if(MESLEK_SITE_HOST STREQUAL "" AND NOT MESLEK_SITE_DOMAIN STREQUAL "")
    message(FATAL_ERROR "MESLEK_SITE_DOMAIN is set but MESLEK_SITE_HOST is empty: "
        "a maker's site needs both (for example -DMESLEK_SITE_HOST=www.example.com.tr "
        "-DMESLEK_SITE_DOMAIN=example.com.tr); leave both empty for no site")
endif()
if(NOT MESLEK_SITE_HOST STREQUAL "" AND MESLEK_SITE_DOMAIN STREQUAL "")
    message(FATAL_ERROR "MESLEK_SITE_HOST is set but MESLEK_SITE_DOMAIN is empty: "
        "a maker's site needs both (for example -DMESLEK_SITE_HOST=www.example.com.tr "
        "-DMESLEK_SITE_DOMAIN=example.com.tr); leave both empty for no site")
endif()
if(MESLEK_SITE_HOST STREQUAL "" AND NOT MESLEK_SITE_NOTICE STREQUAL "")
    message(FATAL_ERROR "MESLEK_SITE_NOTICE is set without a site: it names the site's "
        "addresses, so it needs MESLEK_SITE_HOST and MESLEK_SITE_DOMAIN")
endif()

if(MESLEK_SITE_HOST STREQUAL "")
    set(MESLEK_HAS_SITE OFF)
else()
    set(MESLEK_HAS_SITE ON)
endif()
