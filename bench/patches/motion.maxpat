{
 "patcher": {
  "rect": [
   100,
   100,
   520,
   400
  ],
  "boxes": [
   {
    "box": {
     "id": "note",
     "maxclass": "comment",
     "patching_rect": [
      20,
      0,
      220,
      22
     ],
     "text": "motion against a running-average background: what moves, as blobs with identifiers"
    }
   },
   {
    "box": {
     "id": "mv",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      30,
      220,
      22
     ],
     "text": "jit.movie"
    }
   },
   {
    "box": {
     "id": "luma",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      70,
      220,
      22
     ],
     "text": "jit.rgb2luma"
    }
   },
   {
    "box": {
     "id": "bg",
     "maxclass": "newobj",
     "patching_rect": [
      260,
      110,
      220,
      22
     ],
     "text": "zelk.ravg @alpha 0.05"
    }
   },
   {
    "box": {
     "id": "diff",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      150,
      220,
      22
     ],
     "text": "jit.op @op absdiff"
    }
   },
   {
    "box": {
     "id": "thr",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      190,
      220,
      22
     ],
     "text": "jit.op @op > @val 30"
    }
   },
   {
    "box": {
     "id": "lab",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      230,
      220,
      22
     ],
     "text": "zelk.label @charmode 1 @threshold 40"
    }
   },
   {
    "box": {
     "id": "cen",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      270,
      220,
      22
     ],
     "text": "zelk.blobs.centroids"
    }
   },
   {
    "box": {
     "id": "ids",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      310,
      220,
      22
     ],
     "text": "zelk.blobs.sort @threshold 30"
    }
   }
  ],
  "lines": [
   {
    "patchline": {
     "source": [
      "mv",
      0
     ],
     "destination": [
      "luma",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "luma",
      0
     ],
     "destination": [
      "bg",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "luma",
      0
     ],
     "destination": [
      "diff",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "bg",
      0
     ],
     "destination": [
      "diff",
      1
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "diff",
      0
     ],
     "destination": [
      "thr",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "thr",
      0
     ],
     "destination": [
      "lab",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "lab",
      0
     ],
     "destination": [
      "cen",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "cen",
      0
     ],
     "destination": [
      "ids",
      0
     ]
    }
   }
  ]
 }
}
