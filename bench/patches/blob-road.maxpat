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
     "text": "the blob road on footage: threshold, label, measure, identify"
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
     "id": "thr",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      110,
      220,
      22
     ],
     "text": "jit.op @op > @val 128"
    }
   },
   {
    "box": {
     "id": "lab",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      150,
      220,
      22
     ],
     "text": "zelk.label @charmode 1"
    }
   },
   {
    "box": {
     "id": "mom",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      190,
      220,
      22
     ],
     "text": "zelk.blobs.moments"
    }
   },
   {
    "box": {
     "id": "cen",
     "maxclass": "newobj",
     "patching_rect": [
      200,
      190,
      220,
      22
     ],
     "text": "zelk.blobs.centroids"
    }
   },
   {
    "box": {
     "id": "box",
     "maxclass": "newobj",
     "patching_rect": [
      380,
      190,
      220,
      22
     ],
     "text": "zelk.blobs.bounds"
    }
   },
   {
    "box": {
     "id": "ori",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      230,
      220,
      22
     ],
     "text": "zelk.blobs.orientation @mode 1"
    }
   },
   {
    "box": {
     "id": "dir",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      270,
      220,
      22
     ],
     "text": "zelk.blobs.direction @mode 1"
    }
   },
   {
    "box": {
     "id": "elo",
     "maxclass": "newobj",
     "patching_rect": [
      20,
      310,
      220,
      22
     ],
     "text": "zelk.blobs.elongation"
    }
   },
   {
    "box": {
     "id": "ids",
     "maxclass": "newobj",
     "patching_rect": [
      200,
      230,
      220,
      22
     ],
     "text": "zelk.blobs.sort @threshold 20"
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
      "mom",
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
      "lab",
      0
     ],
     "destination": [
      "box",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "mom",
      0
     ],
     "destination": [
      "ori",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "mom",
      0
     ],
     "destination": [
      "dir",
      0
     ]
    }
   },
   {
    "patchline": {
     "source": [
      "mom",
      0
     ],
     "destination": [
      "elo",
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
